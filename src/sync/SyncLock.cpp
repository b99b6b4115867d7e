#include "sync/SyncLock.h"

#include <QString>

namespace Sync {

SyncLock::SyncLock(const std::string& databasePath) : m_file(QString::fromStdString(databasePath) + ".sync-lock") {
  // Only a holder that is gone makes the lock stale, never a long sync.
  m_file.setStaleLockTime(0);
}

bool SyncLock::Acquire(int waitMs) { return m_file.tryLock(waitMs); }

}  // namespace Sync
