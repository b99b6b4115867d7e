#include "db/Transaction.h"

#include <sqlite3.h>

#include <memory>

#include "db/Connection.h"
#include "db/DBL.h"
#include "db/SQLException.h"

namespace DBL {

void Transaction::Fail() const {
  throw SQLException(std::string(sqlite3_errmsg(m_db)) + " (" + sqlite3_errstr(sqlite3_errcode(m_db)) + ")");
}

int Transaction::Insert(const std::string& sql) {
  if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
  return static_cast<int>(sqlite3_last_insert_rowid(m_db));
}

Transaction::~Transaction() {
  for (const auto& [sql, statement] : m_prepared) sqlite3_finalize(statement);
}

int Transaction::InsertBound(const char* sql, const std::vector<Value>& values) {
  sqlite3_stmt*& statement = m_prepared[sql];
  if (!statement && sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) Fail();
  int rc = SQLITE_OK;
  for (size_t i = 0; i < values.size() && rc == SQLITE_OK; ++i) {
    const int at = static_cast<int>(i) + 1;
    if (const int* number = std::get_if<int>(&values[i])) {
      rc = sqlite3_bind_int(statement, at, *number);
    } else {
      const std::string& text = std::get<std::string>(values[i]);
      rc = sqlite3_bind_text(statement, at, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
  }
  if (rc == SQLITE_OK) rc = sqlite3_step(statement);
  // Ready for the next row, and holding none of these values.
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (rc != SQLITE_DONE) Fail();
  return static_cast<int>(sqlite3_last_insert_rowid(m_db));
}

int Transaction::Change(const std::string& sql) {
  if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
  return sqlite3_changes(m_db);
}

MemResultSet Transaction::Query(const std::string& sql) {
  int rc = SQLITE_OK;
  MemResultSet result = Connection::Query(m_db, sql, &rc);
  if (rc != SQLITE_OK) Fail();
  return result;
}

void Transaction::Script(const std::string& sql) {
  if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
}

void RunTransaction(const std::function<void(Transaction&)>& work, bool write, const std::string& dbFile) {
  sqlite3* raw = nullptr;
  const int rc = Connection::Open(dbFile.empty() ? GetDatabasePath() : dbFile, &raw);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
  if (rc != SQLITE_OK) throw SQLException(rc);
  Transaction transaction(db.get());
  // IMMEDIATE: the write lock is taken (or waited for) now, not half-way.
  transaction.Script(write ? "BEGIN IMMEDIATE" : "BEGIN");
  try {
    work(transaction);
    transaction.Script("COMMIT");
  } catch (...) {
    sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace DBL
