#pragma once

#include <stdexcept>
#include <string>

namespace Interop {

// Why a file cannot be imported: the line it happened on (1 for the first,
// 0 when it concerns the whole file) and the reason, for one message.
class InteropError : public std::runtime_error {
 public:
  InteropError(int line, const std::string& reason) : std::runtime_error(reason), m_line(line) {}
  int Line() const { return m_line; }

 private:
  int m_line;
};

}  // namespace Interop
