#include "db/TableRows.h"

#include <sqlite3.h>

#include "db/Connection.h"
#include "db/DBL.h"

namespace DBL {

namespace {

struct OpenDatabase {
  sqlite3* db = nullptr;
  ~OpenDatabase() { sqlite3_close(db); }
};

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

int Open(OpenDatabase& connection) { return Connection::Open(GetDatabasePath(), &connection.db); }

StoredValue ReadValue(sqlite3_stmt* stmt, int column) {
  StoredValue value;
  value.type = sqlite3_column_type(stmt, column);
  switch (value.type) {
    case SQLITE_INTEGER: value.integer = sqlite3_column_int64(stmt, column); break;
    case SQLITE_FLOAT: value.real = sqlite3_column_double(stmt, column); break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      const void* data = value.type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(stmt, column))
                                                   : sqlite3_column_blob(stmt, column);
      value.bytes.assign(static_cast<const char*>(data), static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
      break;
    }
    default: break;
  }
  return value;
}

int Bind(sqlite3_stmt* stmt, int index, const StoredValue& value) {
  switch (value.type) {
    case SQLITE_INTEGER: return sqlite3_bind_int64(stmt, index, value.integer);
    case SQLITE_FLOAT: return sqlite3_bind_double(stmt, index, value.real);
    case SQLITE_TEXT:
      return sqlite3_bind_text(stmt, index, value.bytes.data(), static_cast<int>(value.bytes.size()), SQLITE_STATIC);
    case SQLITE_BLOB:
      return sqlite3_bind_blob(stmt, index, value.bytes.data(), static_cast<int>(value.bytes.size()), SQLITE_STATIC);
    default: return sqlite3_bind_null(stmt, index);
  }
}

// Table and column names come from the program's own lists, never from input.
std::string InsertText(const TableRows& set) {
  std::string sql = set.addMissingOnly ? "insert or ignore into " : "insert into ";
  std::string values;
  sql += set.table + " (";
  for (size_t c = 0; c < set.columns.size(); ++c) {
    sql += (c ? "," : "") + set.columns[c];
    values += c ? ",?" : "?";
  }
  return sql + ") values (" + values + ")";
}

int WriteSet(sqlite3* db, const TableRows& set) {
  if (!set.tableExists) return SQLITE_OK;
  if (!set.addMissingOnly) {
    const std::string remove = "delete from " + set.table + " where " + set.where;
    const int rc = sqlite3_exec(db, remove.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  if (set.rows.empty()) return SQLITE_OK;
  Statement insert;
  const std::string sql = InsertText(set);
  int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &insert.stmt, nullptr);
  for (const std::vector<StoredValue>& row : set.rows) {
    if (rc != SQLITE_OK) return rc;
    sqlite3_reset(insert.stmt);
    for (size_t c = 0; c < row.size() && rc == SQLITE_OK; ++c) rc = Bind(insert.stmt, static_cast<int>(c) + 1, row[c]);
    if (rc == SQLITE_OK) rc = sqlite3_step(insert.stmt) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
  }
  return rc;
}

}  // namespace

TableRows ReadTableRows(const std::string& table, const std::string& where) {
  TableRows set;
  set.table = table;
  set.where = where;
  OpenDatabase connection;
  if (Open(connection) != SQLITE_OK) throw SQLException(sqlite3_errcode(connection.db));
  Statement select;
  const std::string sql = "select * from " + table + " where " + where;
  if (sqlite3_prepare_v2(connection.db, sql.c_str(), static_cast<int>(sql.size()), &select.stmt, nullptr) !=
      SQLITE_OK) {
    // Only a table this file does not have yet is taken as empty.
    const std::string exists = "select 1 from sqlite_master where type = 'table' and name = '" + table + "'";
    Statement check;
    sqlite3_prepare_v2(connection.db, exists.c_str(), -1, &check.stmt, nullptr);
    const int found = sqlite3_step(check.stmt);
    if (found == SQLITE_DONE) {
      set.tableExists = false;
      return set;
    }
    throw SQLException(sqlite3_errcode(connection.db));
  }
  const int columns = sqlite3_column_count(select.stmt);
  for (int c = 0; c < columns; ++c) set.columns.emplace_back(sqlite3_column_name(select.stmt, c));
  int rc;
  while ((rc = sqlite3_step(select.stmt)) == SQLITE_ROW) {
    std::vector<StoredValue> row;
    for (int c = 0; c < columns; ++c) row.push_back(ReadValue(select.stmt, c));
    set.rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) throw SQLException(rc);
  return set;
}

int WriteTableRows(const std::vector<TableRows>& sets) {
  OpenDatabase connection;
  if (Open(connection) != SQLITE_OK) return -1;
  int rc = sqlite3_exec(connection.db, "begin immediate", nullptr, nullptr, nullptr);
  for (size_t s = 0; s < sets.size() && rc == SQLITE_OK; ++s) rc = WriteSet(connection.db, sets[s]);
  if (rc == SQLITE_OK) rc = sqlite3_exec(connection.db, "commit", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) sqlite3_exec(connection.db, "rollback", nullptr, nullptr, nullptr);
  return rc;
}

}  // namespace DBL
