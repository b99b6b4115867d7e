#include "db/SQLException.h"

#include <array>

namespace DBL {

namespace {

const char* MessageForCode(int code) {
  static constexpr std::array<const char*, 24> kMessages = {
      nullptr,
      "SQL error or missing database",
      "An internal logic error in the database",
      "Access permission denied",
      "Callback routine requested an abort",
      "The database file is locked",
      "A table in the database is locked",
      "A memory allocation failed in the database",
      "Attempt to write a readonly database",
      "Operation terminated by a database interrupt",
      "Some kind of disk I/O error occurred",
      "The database disk image is malformed",
      "Table or record not found",
      "Insertion failed because database is full",
      "Unable to open the database file",
      "Database lock protocol error",
      "Database table is empty",
      "The database schema changed",
      "Too much data for one row of a table",
      "Abort due to contraint violation",
      "Data type mismatch",
      "Library used incorrectly",
      "Uses OS features not supported on host",
      "Authorization denied",
  };
  if (code >= 1 && code < static_cast<int>(kMessages.size())) return kMessages[code];
  return "Unknown database error";
}

}  // namespace

SQLException::SQLException(const std::string& message) : m_message(message) {}

SQLException::SQLException(int sqliteCode) : m_message(MessageForCode(sqliteCode)), m_code(sqliteCode) {}

const std::string& SQLException::GetMessage() const { return m_message; }

int SQLException::GetCode() const { return m_code; }

}  // namespace DBL
