#pragma once

#include <future>
#include <string>
#include <thread>

namespace DBL {

// PrepareDatabase for the program's start, split so that the window can be
// built meanwhile. What must come before the first statement is done at once:
// a missing file is made, and the tables and columns are looked at, so that
// nothing reads a file that is not an organizer database. SQLite's quick check
// of every page, the slow part, runs on a connection of its own in a thread,
// and the identities are brought up to date after it there. Nothing is
// written to a file before it has passed the check.
class StartupCheck {
 public:
  explicit StartupCheck(const std::string& path);
  // Waits for the identities to be written.
  ~StartupCheck();
  StartupCheck(const StartupCheck&) = delete;
  StartupCheck& operator=(const StartupCheck&) = delete;

  // False when the file was refused at once: then not even a read may touch it.
  bool Readable() const { return m_readable; }

  // Waits for the quick check: "" when the database is ready, otherwise the
  // message PrepareDatabase would give.
  const std::string& Wait();

 private:
  bool m_readable = true;
  std::string m_problem;
  std::future<std::string> m_answer;
  std::thread m_worker;
};

}  // namespace DBL
