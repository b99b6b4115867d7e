#include "app/SyncScheduler.h"

#include <algorithm>
#include <climits>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "sync/AccountSync.h"
#include "sync/NetModule.h"
#include "sync/PasswordStore.h"
#include "sync/SyncLock.h"
#include "sync/SyncStore.h"

namespace {

constexpr qint64 kQueued = LLONG_MAX;
// A --sync command of another process may hold the lock for a while.
constexpr int kLockWaitMs = 60 * 1000;
constexpr int kStopWaitMs = 3000;
const char kNoPassword[] = "Waiting for the password: Sync Now asks for it";

// Runs in the worker thread: everything here opens its own connections.
SyncScheduler::Outcome SyncOne(int accountId) {
  SyncScheduler::Outcome outcome;
  outcome.accountId = accountId;
  const std::string path = DBL::GetDatabasePath();
  try {
    std::vector<Sync::Account> accounts;
    DBL::RunTransaction([&](DBL::Transaction& t) { accounts = Sync::ListAccounts(t); }, false);
    const auto account = std::find_if(accounts.begin(), accounts.end(),
                                      [accountId](const Sync::Account& a) { return a.id == accountId; });
    if (account == accounts.end()) return outcome;  // removed meanwhile
    const std::optional<QString> password =
        Sync::PasswordStore::Load(Sync::PasswordStore::KeyOf(account->user, account->url));
    if (!password) {
      DBL::RunTransaction([&](DBL::Transaction& t) { Sync::SetAccountState(t, accountId, kNoPassword, 0); });
      // Only the window may ask: this thread must never show one.
      outcome.needsPassword = true;
      outcome.user = account->user;
      outcome.url = account->url;
      return outcome;
    }
    // Records made since the file was opened get their UIDs, so they can be sent.
    DBL::UpdateIdentities(path);
    Sync::SyncLock lock(path);
    if (!lock.Acquire(kLockWaitMs)) {
      outcome.retry = true;
      return outcome;
    }
    const Sync::AccountResult result = Sync::SyncAccount(*account, *password);
    outcome.ok = result.ok;
    for (const Sync::CollectionResult& done : result.collections) {
      if (done.received + done.deletedHere + done.conflicts > 0) outcome.recordsChanged = true;
      outcome.retryAfter = std::max(outcome.retryAfter, done.retryAfter);
      if (done.emptyOnServer) outcome.emptyOnServer.emplace_back(done.collectionId, done.name.empty() ? done.href : done.name);
      const bool passing = (done.status == 0 || done.status >= 500) && done.error.find("certificate") == std::string::npos;
      if (!done.error.empty() && passing) outcome.retry = true;
      if (done.status == 401) outcome.refused = true;
    }
  } catch (const DBL::SQLException&) {
    outcome.retry = true;  // the file was busy or could not be written: worth another try
  }
  return outcome;
}

}  // namespace

SyncScheduler::SyncScheduler(QObject* parent) : QObject(parent), m_worker(new QObject) {
  m_worker->moveToThread(&m_thread);
  m_thread.setObjectName(QStringLiteral("sync"));
  m_timer.setSingleShot(true);
  m_changeDelay.setSingleShot(true);
  m_changeDelay.setInterval(kChangeDelayMs);
  m_watch.setInterval(kWatchMs);
  connect(&m_timer, &QTimer::timeout, this, &SyncScheduler::OnTimer);
  connect(&m_watch, &QTimer::timeout, this, &SyncScheduler::WatchDatabase);
  connect(&m_changeDelay, &QTimer::timeout, this, &SyncScheduler::SyncAll);
  m_clock.start();
}

SyncScheduler::~SyncScheduler() {
  m_thread.quit();
  if (!m_thread.wait(kStopWaitMs)) {
    // A request can take minutes to time out; the program is ending, and a
    // sync stopped anywhere is finished by the next one.
    m_thread.terminate();
    m_thread.wait();
  }
  delete m_worker;
}

int SyncScheduler::RetryDelaySeconds(int failures, int retryAfter, int intervalMinutes) {
  const int ceiling = std::max(intervalMinutes, 1) * 60;
  int delay = kFirstRetrySeconds;
  for (int n = 1; n < failures && delay < ceiling; ++n) delay *= 2;
  return std::max(std::min(delay, ceiling), retryAfter);
}

void SyncScheduler::Start() {
  if (m_started) return;
  m_started = true;
  try {
    // Once, before any sync of this window: from here on the window only reads them.
    Sync::EnsureTables();
  } catch (const DBL::SQLException&) {
    // A file that cannot be written now: the accounts are read when it can.
  }
  m_thread.start(QThread::LowPriority);
  ReadAccounts();
  m_version = DBL::FileVersion(DBL::GetDatabasePath());
  m_writes = DBL::SingleWriteCount();
  m_watch.start();
  SyncAll();
}

// The network's state matters only to accounts; without one, its backend
// (a plugin and a bus connection) is never loaded.
void SyncScheduler::WatchNetwork() {
  if (m_watchingNetwork || m_due.empty()) return;
  m_watchingNetwork = true;
  const Sync::NetFunctions* net = Sync::NetModule::Get();
  if (!net) return;
  net->watchReachability(this, [this] {
    // Back online: whatever failed meanwhile is tried at once.
    for (auto& [id, timing] : m_due) {
      if (timing.failures > 0 && timing.dueMs != kQueued) timing.dueMs = 0;
    }
    OnTimer();
  });
}

void SyncScheduler::SyncNow() {
  while (!m_waiting.empty()) Wake(m_waiting.begin()->first);
  SyncAll();
}

void SyncScheduler::SyncAll() {
  ReadAccounts();
  for (const auto& [id, timing] : m_due) Request(id);
  OnTimer();
}

void SyncScheduler::SyncAccountNow(int accountId) {
  ReadAccounts();
  Wake(accountId);
  Request(accountId);
  OnTimer();
}

void SyncScheduler::GivePassword(int accountId, const QString& password) {
  const auto waiting = m_waiting.find(accountId);
  if (waiting == m_waiting.end()) return;  // removed meanwhile
  Sync::PasswordStore::Keep(waiting->second, password);
  m_typed[accountId] = waiting->second;
  SyncAccountNow(accountId);
}

void SyncScheduler::Wake(int accountId) {
  if (m_waiting.erase(accountId) == 0) return;
  if (const auto found = m_due.find(accountId); found != m_due.end()) found->second.dueMs = 0;
}

void SyncScheduler::Wait(int accountId, const QString& key) {
  m_waiting[accountId] = key;
  m_again.erase(accountId);
  if (const auto found = m_due.find(accountId); found != m_due.end()) found->second.dueMs = kQueued;
}

void SyncScheduler::Request(int accountId) {
  const auto found = m_due.find(accountId);
  if (found == m_due.end()) return;
  // A sync under way may have read the server before the change asked for:
  // it runs once more when it ends.
  if (accountId == m_running) {
    m_again.insert(accountId);
  } else if (found->second.dueMs != kQueued) {
    found->second.dueMs = 0;
  }
}

void SyncScheduler::AccountsChanged() {
  ReadAccounts();
  ArmTimer();
  emit StateChanged();
}

void SyncScheduler::ReadAccounts() {
  std::vector<Sync::Account> accounts;
  try {
    // Only reads: a write here would wait on the worker's transaction, and this is the window's thread.
    DBL::RunTransaction([&](DBL::Transaction& t) { accounts = Sync::ListAccounts(t); }, false);
  } catch (const DBL::SQLException&) {
    return;  // keeps what it knew; the next look may find the file free
  }
  std::map<int, Timing> next;
  const qint64 now = m_clock.elapsed();
  for (const Sync::Account& account : accounts) {
    const auto known = m_due.find(account.id);
    Timing timing = known != m_due.end() ? known->second : Timing{now + account.interval * 60000LL, 0, 15};
    // A new account syncs at once once the window is up.
    if (known == m_due.end() && m_started) timing.dueMs = now;
    timing.intervalMinutes = std::max(account.interval, 1);
    next[account.id] = timing;
  }
  m_due = std::move(next);
  m_queue.erase(std::remove_if(m_queue.begin(), m_queue.end(), [this](int id) { return !m_due.count(id); }),
                m_queue.end());
  std::erase_if(m_waiting, [this](const auto& waiting) { return !m_due.count(waiting.first); });
  std::erase_if(m_typed, [this](const auto& typed) { return !m_due.count(typed.first); });
  if (m_started) WatchNetwork();
}

void SyncScheduler::Enqueue(int accountId) {
  if (accountId == m_running || std::find(m_queue.begin(), m_queue.end(), accountId) != m_queue.end()) return;
  m_queue.push_back(accountId);
  m_due[accountId].dueMs = kQueued;
}

void SyncScheduler::OnTimer() {
  if (!m_started) return;
  const qint64 now = m_clock.elapsed();
  for (const auto& [id, timing] : m_due) {
    if (timing.dueMs <= now) Enqueue(id);
  }
  RunNext();
  ArmTimer();
}

void SyncScheduler::RunNext() {
  if (m_running != 0 || m_queue.empty()) return;
  m_running = m_queue.front();
  m_queue.pop_front();
  emit StateChanged();
  const int accountId = m_running;
  QMetaObject::invokeMethod(m_worker, [this, accountId] {
    const Outcome outcome = SyncOne(accountId);
    QMetaObject::invokeMethod(this, [this, outcome] { OnDone(outcome); });
  });
}

void SyncScheduler::OnDone(const Outcome& outcome) {
  m_running = 0;
  const auto found = m_due.find(outcome.accountId);
  if (found != m_due.end()) {
    Timing& timing = found->second;
    timing.failures = outcome.retry ? timing.failures + 1 : 0;
    const qint64 waitMs = outcome.retry
                              ? RetryDelaySeconds(timing.failures, outcome.retryAfter, timing.intervalMinutes) * 1000LL
                              : timing.intervalMinutes * 60000LL;
    timing.dueMs = m_again.erase(outcome.accountId) > 0 ? 0 : m_clock.elapsed() + waitMs;
  }
  // A password typed in this run that the server refused is not tried again
  // and again: the account waits until the person asks, and is asked anew.
  if (const auto typed = m_typed.find(outcome.accountId); outcome.refused && typed != m_typed.end()) {
    Sync::PasswordStore::Drop(typed->second);
    Wait(outcome.accountId, typed->second);
    m_typed.erase(typed);
  }
  if (outcome.needsPassword) {
    Wait(outcome.accountId, Sync::PasswordStore::KeyOf(outcome.user, outcome.url));
    emit PasswordNeeded(outcome.accountId, QString::fromStdString(outcome.user), QString::fromStdString(outcome.url));
  }
  // The sync's own writes are no change to send.
  m_version = DBL::FileVersion(DBL::GetDatabasePath());
  if (outcome.recordsChanged) emit RecordsChanged();
  emit StateChanged();
  for (const auto& [collectionId, name] : outcome.emptyOnServer) {
    emit CollectionEmptied(outcome.accountId, collectionId, QString::fromStdString(name));
  }
  RunNext();
  ArmTimer();
}

void SyncScheduler::ArmTimer() {
  qint64 earliest = kQueued;
  for (const auto& [id, timing] : m_due) earliest = std::min(earliest, timing.dueMs);
  if (earliest == kQueued) {
    m_timer.stop();
    return;
  }
  const qint64 wait = std::clamp<qint64>(earliest - m_clock.elapsed(), 0, INT_MAX);
  m_timer.start(static_cast<int>(wait));
}

void SyncScheduler::WatchDatabase() {
  if (m_due.empty()) return;
  // An edit in this window, also while a sync runs (which then runs once more).
  if (const unsigned long writes = DBL::SingleWriteCount(); writes != m_writes) {
    m_writes = writes;
    m_changeDelay.start();
  }
  // The file's change counter tells of other writers too, but the sync's own
  // writes raise it: it is only read between syncs.
  if (m_running != 0) return;
  const std::string version = DBL::FileVersion(DBL::GetDatabasePath());
  if (version == m_version) return;
  m_version = version;
  // Waits for the person to finish: each further change moves the sync on.
  m_changeDelay.start();
}
