#pragma once

#include <functional>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace DBL {

// The current row of a query that is read row by row (ExecuteQueryEach). Its
// values read exactly as MemResultSet's do, without the whole result being
// copied first: long lists are turned into what they show as they come.
class QueryRow {
 public:
  explicit QueryRow(sqlite3_stmt* statement);

  // As MemResultSet: the first column with exactly this name, decoded with
  // DecodeText; empty (or 0) when no column has the name.
  std::string GetString(const std::string& column) const;
  int GetInt(const std::string& column) const;
  double GetDouble(const std::string& column) const;

 private:
  int Find(const std::string& column) const;  // -1 when no column has the name
  const char* Text(int column) const;

  sqlite3_stmt* m_statement;
  std::vector<std::string> m_columns;
  std::vector<bool> m_firstOfName;  // a column whose name no column before it has
  // Rows are read field by field in the same order each time: the search for
  // the next name starts past the column found last.
  mutable size_t m_next = 0;
};

// The rows of the query handed to `each` one by one as SQLite reads them, for
// long lists that are turned into something else at once; fewer rows or none
// when the query fails. The file stays open (and read-locked) until the last
// row: `each` must not write to it.
void ExecuteQueryEach(const std::string& sql, const std::function<void(const QueryRow& row)>& each);

// How a stored value's text reads as a number: atoi, and strtod in the C
// locale. The markers of the text encoding stop a number where the quotes they
// stand for would stop it.
int IntFromStoredText(const char* text);
double RealFromStoredText(const char* text);

}  // namespace DBL
