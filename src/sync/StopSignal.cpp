#include "sync/StopSignal.h"

#include <QMetaObject>
#include <QObject>

namespace Sync {

void StopSignal::Stop() {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_stopped = true;
  // The reply belongs to the client's thread: it is aborted there, which ends
  // the client's wait for it. While it is watched it is not deleted yet.
  if (m_reply) QMetaObject::invokeMethod(m_reply, "abort", Qt::QueuedConnection);
}

bool StopSignal::Watch(QObject* reply) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_reply = m_stopped ? nullptr : reply;
  return !m_stopped;
}

}  // namespace Sync
