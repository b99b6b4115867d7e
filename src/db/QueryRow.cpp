#include "db/QueryRow.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/DBL.h"

namespace DBL {

QueryRow::QueryRow(sqlite3_stmt* statement) : m_statement(statement) {
  const int columns = sqlite3_column_count(statement);
  m_columns.reserve(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    const char* name = sqlite3_column_name(statement, c);
    m_columns.emplace_back(name ? name : "");
    m_firstOfName.push_back(std::find(m_columns.begin(), m_columns.end() - 1, m_columns.back()) == m_columns.end() - 1);
  }
}

int QueryRow::Find(const std::string& column) const {
  const size_t count = m_columns.size();
  for (size_t looked = 0; looked < count; ++looked) {
    const size_t c = (m_next + looked) % count;
    if (m_firstOfName[c] && m_columns[c] == column) {
      m_next = c + 1;
      return static_cast<int>(c);
    }
  }
  return -1;
}

// NULL reads as the empty text, as in MemResultSet.
const char* QueryRow::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return text ? text : "";
}

std::string QueryRow::GetString(const std::string& column) const {
  const int c = Find(column);
  if (c < 0) return std::string();
  return DecodeText(std::string(Text(c), static_cast<size_t>(sqlite3_column_bytes(m_statement, c))));
}

// A stored integer reads as its text would, without SQLite writing the text
// first; anything else goes through its text as in MemResultSet.
int QueryRow::GetInt(const std::string& column) const {
  const int c = Find(column);
  if (c < 0) return 0;
  if (sqlite3_column_type(m_statement, c) == SQLITE_INTEGER) {
    return static_cast<int>(sqlite3_column_int64(m_statement, c));
  }
  return IntFromStoredText(Text(c));
}

// A real goes through its text: SQLite writes it with 15 digits, and the
// program has always read that rounded value.
double QueryRow::GetDouble(const std::string& column) const {
  const int c = Find(column);
  if (c < 0) return 0;
  if (sqlite3_column_type(m_statement, c) == SQLITE_INTEGER) {
    return static_cast<double>(sqlite3_column_int64(m_statement, c));
  }
  return RealFromStoredText(Text(c));
}

}  // namespace DBL
