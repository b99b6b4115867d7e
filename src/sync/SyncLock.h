#pragma once

#include <QLockFile>
#include <string>

namespace Sync {

// One sync at a time per database, across every running copy and the
// --sync command: a lock file beside the database. A copy that dies holding
// it (kill -9, power loss) leaves it stale, and the next one takes it over.
class SyncLock {
 public:
  explicit SyncLock(const std::string& databasePath);
  // Waits up to `waitMs` for another sync to finish; false when it did not.
  bool Acquire(int waitMs);

 private:
  QLockFile m_file;
};

}  // namespace Sync
