#pragma once

#include <string>

// A lock on a small file beside the database. Every running copy of the
// program holds it shared for as long as it runs, so work that needs the
// program closed (putting a backup in place) can tell whether a copy runs by
// asking for it exclusively. The system drops the lock when a process ends,
// however it ends, so a crash never leaves the data folder locked.
class InstanceLock {
 public:
  explicit InstanceLock(std::string path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // organizer.lock in the folder of the database file.
  static std::string PathFor(const std::string& databaseFile);

  // Waits while the lock is held exclusively, then holds it shared. False when
  // the lock file cannot be made (a read-only folder).
  bool LockShared();
  // Holds it exclusively if nobody else holds it at all; never waits.
  bool TryLockExclusive();
  // Whether the lock file could be made and opened.
  bool IsOpen() const { return m_fd >= 0; }

 private:
  bool Open();

  std::string m_path;
  int m_fd = -1;
};
