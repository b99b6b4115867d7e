#include "db/MemResultSet.h"

#include <cstdlib>

#include "db/DBL.h"
#include "db/SQLException.h"

namespace DBL {

MemResultSet::MemResultSet() : m_columns(std::make_shared<const std::vector<std::string>>()) {}

MemResultSet::MemResultSet(std::vector<std::string> columnNames)
    : m_columns(std::make_shared<const std::vector<std::string>>(std::move(columnNames))) {}

bool MemResultSet::Next() {
  ++m_row;
  return static_cast<size_t>(m_row) < RowCount();
}

std::string MemResultSet::GetString(const std::string& column) const {
  if (m_row < 0 || static_cast<size_t>(m_row) >= RowCount()) {
    throw SQLException("MemResultSet::GetString() invalid row");
  }
  const std::vector<std::string>& names = *m_columns;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == column) return DecodeText(m_values[static_cast<size_t>(m_row) * names.size() + i]);
  }
  return std::string();
}

int MemResultSet::GetInt(const std::string& column) const { return std::atoi(GetString(column).c_str()); }

double MemResultSet::GetDouble(const std::string& column) const {
  return std::strtod(GetString(column).c_str(), nullptr);
}

void MemResultSet::AppendValue(std::string value) { m_values.push_back(std::move(value)); }

size_t MemResultSet::RowCount() const { return m_columns->empty() ? 0 : m_values.size() / m_columns->size(); }

}  // namespace DBL
