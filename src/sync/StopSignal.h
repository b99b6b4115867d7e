#pragma once

#include <mutex>

class QObject;

namespace Sync {

// Lets the window stop a client that works in a thread of its own: the
// request in flight is aborted at once and no later one goes out, so a person
// who cancels does not wait for a silent server's timeout.
class StopSignal {
 public:
  // From any thread.
  void Stop();
  // The client's thread, as a request goes out (its reply, which has an
  // abort() slot) and once it ended (nullptr). False when stopped already:
  // the reply is to be aborted.
  bool Watch(QObject* reply);

 private:
  std::mutex m_lock;
  bool m_stopped = false;
  QObject* m_reply = nullptr;
};

}  // namespace Sync
