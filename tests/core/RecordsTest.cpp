#include "RecordsTest.h"

#include <sqlite3.h>

#include "db/DBL.h"

void RecordsTest::Exec(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(DatabasePath().c_str(), &db);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

std::string RecordsTest::Stored(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(DatabasePath().c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  std::string value;
  if (sqlite3_step(stmt) == SQLITE_ROW) value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return value;
}

void RecordsTest::RefuseWrites(const std::string& table) {
  for (const char* change : {"insert", "update", "delete"}) {
    Exec("create trigger refuse_" + std::string(change) + "_" + table + " before " + change + " on " + table +
         " begin select raise(abort, 'refused'); end");
  }
}

std::vector<std::string> RecordsTest::Statements(const std::function<void()>& run) {
  std::vector<std::string> seen;
  DBL::SetStatementObserver([&seen](const std::string& sql) { seen.push_back(sql); });
  run();
  DBL::SetStatementObserver(nullptr);
  std::erase(seen, "select last_insert_rowid() as idx");
  return seen;
}
