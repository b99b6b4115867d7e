#pragma once

#include <memory>
#include <string>
#include <vector>

namespace DBL {

// The complete result of one query, copied out of SQLite as text so that it
// outlives the connection. Column names are shared by every row.
class MemResultSet {
 public:
  MemResultSet();
  explicit MemResultSet(std::vector<std::string> columnNames);

  // Moves to the next row; true while there is one. Needed once before the first row.
  bool Next();

  // Value of the first column with exactly this name in the current row,
  // decoded with DecodeText; empty when no column has the name.
  std::string GetString(const std::string& column) const;
  int GetInt(const std::string& column) const;
  double GetDouble(const std::string& column) const;

  // Used while the result is filled.
  void AppendValue(std::string value);
  size_t RowCount() const;

 private:
  std::shared_ptr<const std::vector<std::string>> m_columns;
  std::vector<std::string> m_values;  // row after row, one entry per column
  long m_row = -1;
};

}  // namespace DBL
