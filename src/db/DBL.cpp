#include "db/DBL.h"

#include <malloc.h>
#include <sqlite3.h>

#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "app/Paths.h"
#include "db/Connection.h"
#include "db/QueryRow.h"

namespace DBL {

namespace {

constexpr int kDefaultBusyTimeoutMs = 5000;  // a second copy of the program may hold a lock briefly
constexpr std::string_view kApostropheMarker = "#$%g^";
constexpr std::string_view kQuoteMarker = "*(!G^%^";

// True when the statement, ignoring case and surrounding blanks, starts with the keyword.
bool IsStatementOfKind(const std::string& sql, std::string_view keyword) {
  const size_t start = sql.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || sql.size() - start < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(sql[start + i])) != keyword[i]) return false;
  }
  return true;
}

void RequireKind(const std::string& sql, std::string_view keyword, const char* message) {
  if (!IsStatementOfKind(sql, keyword)) throw SQLException(message);
}

int& BusyTimeoutMs() {
  static int timeout = kDefaultBusyTimeoutMs;
  return timeout;
}

StatementObserver& Observer() {
  static StatementObserver observer;
  return observer;
}

int ReportStatement(unsigned /*type*/, void* /*context*/, void* /*statement*/, void* sql) {
  Observer()(static_cast<const char*>(sql));
  return 0;
}

using Connection::Open;

// Runs a change on an open connection. Returns SQLite's code, or
// SQLITE_NOTFOUND when the statement succeeded but changed no row: an update
// or delete of a record that is not in the file has not been stored.
std::atomic<unsigned long>& SingleWrites() {
  static std::atomic<unsigned long> count{0};
  return count;
}

int RunChange(sqlite3* db, const std::string& sql) {
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return rc;
  // A transaction the text left open is rolled back when the connection closes.
  if (!sqlite3_get_autocommit(db)) return SQLITE_ERROR;
  if (sqlite3_total_changes(db) == 0) return SQLITE_NOTFOUND;
  SingleWrites().fetch_add(1, std::memory_order_relaxed);
  return SQLITE_OK;
}

int ExecuteChange(const std::string& sql, const std::string& dbFile) {
  sqlite3* db = nullptr;
  if (Open(dbFile, &db) != SQLITE_OK) {
    sqlite3_close(db);
    return -1;
  }
  const int rc = RunChange(db, sql);
  sqlite3_close(db);
  return rc;
}

// Lists and the minute's reminder scan build and free results of several
// megabytes. By default the C library hands such memory back to the system at
// once and page-faults to get it again, which can cost more than the query
// itself; the program keeps up to 64 MB of it instead.
void KeepFreedMemory() {
  static const bool kept = [] {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    return true;
  }();
  (void)kept;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  size_t pos = text.find(from);
  if (pos == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  size_t done = 0;
  for (; pos != std::string::npos; pos = text.find(from, done)) {
    out.append(text, done, pos - done);
    out.append(to);
    done = pos + from.size();
  }
  out.append(text, done, std::string::npos);
  text.swap(out);
}

}  // namespace

unsigned long SingleWriteCount() { return SingleWrites().load(std::memory_order_relaxed); }

int ExecuteInsert(const std::string& sql) { return ExecuteInsert(sql, GetDatabasePath()); }

int ExecuteInsert(const std::string& sql, const std::string& dbFile) {
  RequireKind(sql, "insert", "ExecuteInsert for non-insert sql");
  sqlite3* db = nullptr;
  // SQLite sets the last row id before the change is committed, so a statement
  // that then fails (a full disk, a lock held past the timeout) still has one.
  if (Open(dbFile, &db) != SQLITE_OK || RunChange(db, sql) != SQLITE_OK) {
    sqlite3_close(db);
    return 0;
  }
  static constexpr char kLastId[] = "select last_insert_rowid() as idx";
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, kLastId, sizeof kLastId - 1, &stmt, nullptr);
  int result = -1;
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    result = text ? std::atoi(reinterpret_cast<const char*>(text)) : 0;
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return result;
}

int ExecuteUpdate(const std::string& sql) { return ExecuteUpdate(sql, GetDatabasePath()); }

int ExecuteUpdate(const std::string& sql, const std::string& dbFile) {
  RequireKind(sql, "update", "ExecuteUpdate for non-update sql");
  return ExecuteChange(sql, dbFile);
}

int ExecuteDelete(const std::string& sql) { return ExecuteDelete(sql, GetDatabasePath()); }

int ExecuteDelete(const std::string& sql, const std::string& dbFile) {
  RequireKind(sql, "delete", "ExecuteDelete for non-delete sql");
  return ExecuteChange(sql, dbFile);
}

MemResultSet ExecuteQuery(const std::string& sql) {
  RequireKind(sql, "select", "ExecuteQuery for non-select sql");
  KeepFreedMemory();
  sqlite3* db = nullptr;
  Open(GetDatabasePath(), &db);
  MemResultSet result = Connection::Query(db, sql);
  sqlite3_close(db);
  return result;
}

void ExecuteQueryEach(const std::string& sql, const std::function<void(const QueryRow& row)>& each) {
  RequireKind(sql, "select", "ExecuteQuery for non-select sql");
  // Closed however `each` leaves, also by an exception.
  struct Statement {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    ~Statement() {
      sqlite3_finalize(stmt);
      sqlite3_close(db);
    }
  } query;
  Open(GetDatabasePath(), &query.db);
  if (sqlite3_prepare_v2(query.db, sql.c_str(), static_cast<int>(sql.size()), &query.stmt, nullptr) != SQLITE_OK) {
    return;
  }
  const QueryRow row(query.stmt);
  while (sqlite3_step(query.stmt) == SQLITE_ROW) each(row);
}

std::string EncodeText(const std::string& text) {
  std::string encoded = text;
  // A NUL would end the statement text early and leave an open literal behind.
  std::erase(encoded, '\0');
  ReplaceAll(encoded, "'", kApostropheMarker);
  ReplaceAll(encoded, "\"", kQuoteMarker);
  return encoded;
}

std::string DecodeText(const std::string& text) {
  std::string decoded = text;
  ReplaceAll(decoded, kApostropheMarker, "'");
  ReplaceAll(decoded, kQuoteMarker, "\"");
  return decoded;
}

std::string IntToString(int value) { return std::to_string(value); }

// "%f" as the C locale writes it: the program's locale may use a decimal
// comma, which would end the number early in a statement.
std::string RealToString(double value) {
  char buffer[512];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  return std::string(buffer, written.ptr);
}

std::string GetDatabasePath() { return Paths::DatabaseFile(); }

namespace Connection {

// A missing file is not created: an empty one would be refused at the next
// start, where a missing one is made afresh with its tables.
// Every connection lives in one function on one thread: SQLite need not lock
// it on each call, which costs more than reading a short row.
int Open(const std::string& dbFile, sqlite3** db) {
  const int rc = sqlite3_open_v2(dbFile.c_str(), db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (*db) {
    sqlite3_busy_timeout(*db, BusyTimeoutMs());
    if (Observer()) sqlite3_trace_v2(*db, SQLITE_TRACE_STMT, ReportStatement, nullptr);
  }
  return rc;
}

MemResultSet Query(sqlite3* db, const std::string& sql, int* code) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  const int columns = sqlite3_column_count(stmt);
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    const char* name = sqlite3_column_name(stmt, c);
    names.emplace_back(name ? name : "");
  }
  MemResultSet result(std::move(names));
  while (rc == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      // NULL reads as the empty text; no column the program writes holds NULL.
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      result.AppendValue(text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, c)))
                              : std::string_view());
    }
    rc = sqlite3_step(stmt);
  }
  sqlite3_finalize(stmt);
  if (code) *code = rc == SQLITE_DONE ? SQLITE_OK : rc;
  return result;
}

}  // namespace Connection

void SetStatementObserver(StatementObserver observer) { Observer() = std::move(observer); }

void SetBusyTimeout(int milliseconds) { BusyTimeoutMs() = milliseconds; }

}  // namespace DBL
