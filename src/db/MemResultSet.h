#pragma once

#include <memory>
#include <string>
#include <string_view>
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
  void AppendValue(std::string_view value);
  size_t RowCount() const;

 private:
  // The stored, still encoded value of the named column in the current row,
  // NUL-terminated; nullptr when no column has the name.
  const char* Find(const std::string& column, size_t* length) const;

  std::shared_ptr<const std::vector<std::string>> m_columns;
  // Every value, row after row, each followed by a NUL: one block instead of a
  // string per value keeps large results cheap to build and to free.
  std::string m_text;
  std::vector<size_t> m_starts;  // where each value begins in m_text
  long m_row = -1;
};

}  // namespace DBL
