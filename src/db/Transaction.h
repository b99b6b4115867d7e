#pragma once

#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "db/MemResultSet.h"

struct sqlite3;
struct sqlite3_stmt;

namespace DBL {

// Several statements on one connection that are stored all together or not
// at all: bulk work such as importing a file. Single edits keep using the
// statement runners, one connection per statement.
class Transaction {
 public:
  // Each throws SQLException when the statement fails; the whole transaction
  // is then rolled back by RunTransaction.
  int Insert(const std::string& sql);  // the new row's id
  // An update or delete; returns how many rows it changed.
  int Change(const std::string& sql);
  MemResultSet Query(const std::string& sql);
  // Several statements in one text, such as a script of the schema.
  void Script(const std::string& sql);
  // A statement with "?" for its values, run for many rows: prepared once per
  // transaction, the values bound in order and stored as given. Returns the
  // new row's id.
  using Value = std::variant<int, std::string>;
  int InsertBound(const char* sql, const std::vector<Value>& values);

  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

 private:
  friend void RunTransaction(const std::function<void(Transaction&)>&, bool, const std::string&);
  explicit Transaction(sqlite3* db) : m_db(db) {}
  void Fail() const;
  sqlite3* m_db;
  std::map<std::string, sqlite3_stmt*> m_prepared;  // by statement text
};

// Runs `work` inside one transaction on one connection to the database (the
// user's when `dbFile` is empty). When anything in it throws, or the commit
// fails, nothing of it is stored and the exception reaches the caller (an
// SQLException for the store's own failures). A reading one (`write` false)
// sees one consistent state and works on a read-only file too.
void RunTransaction(const std::function<void(Transaction&)>& work, bool write = true, const std::string& dbFile = "");

}  // namespace DBL
