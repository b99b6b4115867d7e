#include "db/MemResultSet.h"

#include <locale.h>

#include <cstdlib>

#include "db/DBL.h"
#include "db/QueryRow.h"
#include "db/SQLException.h"

namespace DBL {

namespace {

// Stored reals always have a decimal point, whatever the program's locale says.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

}  // namespace

MemResultSet::MemResultSet() : m_columns(std::make_shared<const std::vector<std::string>>()) {}

MemResultSet::MemResultSet(std::vector<std::string> columnNames)
    : m_columns(std::make_shared<const std::vector<std::string>>(std::move(columnNames))) {}

bool MemResultSet::Next() {
  ++m_row;
  return static_cast<size_t>(m_row) < RowCount();
}

const char* MemResultSet::Find(const std::string& column, size_t* length) const {
  const std::vector<std::string>& names = *m_columns;
  if (names.empty() || m_row < 0 || (static_cast<size_t>(m_row) + 1) * names.size() > m_starts.size()) {
    throw SQLException("MemResultSet::GetString() invalid row");
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] != column) continue;
    const size_t value = static_cast<size_t>(m_row) * names.size() + i;
    const size_t end = value + 1 < m_starts.size() ? m_starts[value + 1] : m_text.size();
    *length = end - m_starts[value] - 1;
    return m_text.data() + m_starts[value];
  }
  return nullptr;
}

std::string MemResultSet::GetString(const std::string& column) const {
  size_t length = 0;
  const char* value = Find(column, &length);
  return value ? DecodeText(std::string(value, length)) : std::string();
}

int IntFromStoredText(const char* text) { return std::atoi(text); }

double RealFromStoredText(const char* text) { return strtod_l(text, nullptr, CLocale()); }

// Numbers are read from the stored text.
int MemResultSet::GetInt(const std::string& column) const {
  size_t length = 0;
  const char* value = Find(column, &length);
  return value ? IntFromStoredText(value) : 0;
}

double MemResultSet::GetDouble(const std::string& column) const {
  size_t length = 0;
  const char* value = Find(column, &length);
  return value ? RealFromStoredText(value) : 0;
}

void MemResultSet::AppendValue(std::string_view value) {
  m_starts.push_back(m_text.size());
  m_text.append(value);
  m_text.push_back('\0');
}

size_t MemResultSet::RowCount() const { return m_columns->empty() ? 0 : m_starts.size() / m_columns->size(); }

}  // namespace DBL
