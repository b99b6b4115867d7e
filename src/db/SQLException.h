#pragma once

#include <string>

namespace DBL {

// Raised (by value) for misuse of the data store: a statement of the wrong
// kind, or reading a result set that has no current row.
class SQLException {
 public:
  explicit SQLException(const std::string& message);
  explicit SQLException(int sqliteCode);

  const std::string& GetMessage() const;
  int GetCode() const;

 private:
  std::string m_message;
  int m_code = 0;
};

}  // namespace DBL
