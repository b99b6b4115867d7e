#include "db/StartupCheck.h"

#include <filesystem>

#include "db/DatabaseFile.h"

namespace DBL {

StartupCheck::StartupCheck(const std::string& path) {
  std::error_code error;
  // A new file, or one refused on its tables, takes the whole check at once:
  // its message is the same as ever, and there is nothing to wait for.
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error)) || !CheckTables(path).empty()) {
    m_problem = PrepareDatabase(path);
    m_readable = m_problem.empty();
    return;
  }
  std::promise<std::string> answer;
  m_answer = answer.get_future();
  m_worker = std::thread([path, answer = std::move(answer)]() mutable {
    const std::string problem = CheckPages(path);
    answer.set_value(problem.empty() ? std::string() : RefusalMessage(path, problem));
    if (problem.empty()) UpdateIdentities(path);
  });
}

StartupCheck::~StartupCheck() {
  if (m_worker.joinable()) m_worker.join();
}

const std::string& StartupCheck::Wait() {
  if (m_answer.valid()) m_problem = m_answer.get();
  return m_problem;
}

}  // namespace DBL
