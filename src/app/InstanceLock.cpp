#include "app/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

InstanceLock::InstanceLock(std::string path) : m_path(std::move(path)) {}

InstanceLock::~InstanceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string InstanceLock::PathFor(const std::string& databaseFile) {
  return (std::filesystem::path(databaseFile).parent_path() / "organizer.lock").string();
}

bool InstanceLock::Open() {
  if (m_fd >= 0) return true;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
  m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  return m_fd >= 0;
}

bool InstanceLock::LockShared() {
  if (!Open()) return false;
  int rc;
  while ((rc = ::flock(m_fd, LOCK_SH)) != 0 && errno == EINTR) {
  }
  return rc == 0;
}

bool InstanceLock::TryLockExclusive() { return Open() && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0; }
