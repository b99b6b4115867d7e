#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace DBL {

// One stored value exactly as SQLite holds it, type included, so that a row
// put back reads the same to the last bit of a REAL.
struct StoredValue {
  int type = 5;  // SQLITE_INTEGER 1, SQLITE_FLOAT 2, SQLITE_TEXT 3, SQLITE_BLOB 4, SQLITE_NULL 5
  std::int64_t integer = 0;
  double real = 0;
  std::string bytes;

  bool operator==(const StoredValue&) const = default;
};

// The rows of one table that a condition selects, as they were read.
struct TableRows {
  std::string table;
  std::string where;  // SQL condition naming the rows, e.g. "id = 7"
  // When set, putting the rows back adds those that are missing and leaves
  // present rows alone (a shared row, such as a category); otherwise the rows
  // the condition selects are replaced by these.
  bool addMissingOnly = false;
  bool tableExists = true;  // false: the file has no such table, nothing to read or write
  std::vector<std::string> columns;
  std::vector<std::vector<StoredValue>> rows;

  bool operator==(const TableRows&) const = default;
};

// Reads `select * from table where condition`. A missing table gives
// tableExists false; a file that cannot be read throws SQLException.
TableRows ReadTableRows(const std::string& table, const std::string& where);

// Puts every set of rows back as it was read, all in one transaction: all or
// nothing. Returns 0 when stored, otherwise SQLite's code (-1: no file).
int WriteTableRows(const std::vector<TableRows>& sets);

}  // namespace DBL
