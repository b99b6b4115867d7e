#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

// When the accounts sync, and where: a worker thread syncs one account at a
// time, so the window never waits on the network. An account syncs when the
// window is up, every interval it was given, a few seconds after the
// database changed (whoever changed it: an editor, an import, a second copy),
// when the network comes back, and on Sync Now. A failed sync is tried again
// after growing delays, never sooner than the server asked. An account
// without a password waits: the window asks the person for it once, and
// after Cancel (or a typed password the server refused) only Sync Now asks
// again.
class SyncScheduler : public QObject {
  Q_OBJECT

 public:
  // How a sync of one account ended, as the window needs it.
  struct Outcome {
    int accountId = 0;
    bool ok = false;
    bool retry = false;           // a passing fault: tried again soon
    int retryAfter = -1;          // seconds the server asked to wait
    bool recordsChanged = false;  // records were added, changed or deleted here
    bool needsPassword = false;   // none stored, none typed in this run
    bool refused = false;         // the server refused the password
    std::string user, url;        // the account's, to ask for its password
    // Collections held back because they came back empty: id and name.
    std::vector<std::pair<int, std::string>> emptyOnServer;
  };

  static constexpr int kChangeDelayMs = 4000;
  static constexpr int kWatchMs = 1500;
  static constexpr int kFirstRetrySeconds = 30;

  explicit SyncScheduler(QObject* parent = nullptr);
  // Waits a little for a running sync; one that goes on is stopped, which a
  // sync survives (its next run finishes the work).
  ~SyncScheduler() override;

  // Starts the timers and syncs every account; called once the window shows.
  void Start();
  // Every account now (those already waiting keep their place), as the
  // person asked: an account waiting for its password asks for it again.
  void SyncNow();
  // One account now, for instance one just added.
  void SyncAccountNow(int accountId);
  // The password the person typed for an account that asked for one: kept
  // for this run, and the account syncs with it.
  void GivePassword(int accountId, const QString& password);
  // The accounts were added, removed or given another interval.
  void AccountsChanged();

  // The account being synced, 0 when none.
  int RunningAccount() const { return m_running; }
  bool HasAccounts() const { return !m_due.empty(); }

  // Seconds before the next try after `failures` failed syncs in a row: 30,
  // 60, 120, ... up to the account's interval, but never less than the
  // server's Retry-After.
  static int RetryDelaySeconds(int failures, int retryAfter, int intervalMinutes);

 signals:
  // A sync started or ended, or the accounts changed: their states are new.
  void StateChanged();
  // A sync changed records: the pages read them again.
  void RecordsChanged();
  // A collection came back empty from the server while it held items here:
  // nothing was mirrored, and the person decides what happens.
  void CollectionEmptied(int accountId, int collectionId, const QString& name);
  // A sync needs the account's password and has none: the window asks for it
  // and answers with GivePassword, or leaves the account waiting.
  void PasswordNeeded(int accountId, const QString& user, const QString& url);

 private:
  struct Timing {
    qint64 dueMs = 0;  // on m_clock
    int failures = 0;
    int intervalMinutes = 15;
  };

  void ReadAccounts();
  // Every account, as the timers and changes ask: waiting ones stay waiting.
  void SyncAll();
  // An account the person asked for again stops waiting.
  void Wake(int accountId);
  void Wait(int accountId, const QString& passwordKey);
  // Due at once, or once more after the sync running now.
  void Request(int accountId);
  void Enqueue(int accountId);
  void RunNext();
  void OnDone(const Outcome& outcome);
  void ArmTimer();
  void OnTimer();
  void WatchDatabase();
  void WatchNetwork();

  std::map<int, Timing> m_due;  // by account id
  std::deque<int> m_queue;
  std::set<int> m_again;  // asked for while they synced
  std::map<int, QString> m_waiting;  // for a password, until the person asks again: its key
  std::map<int, QString> m_typed;  // accounts with a password typed in this run: its key
  int m_running = 0;
  bool m_started = false;
  bool m_watchingNetwork = false;
  QThread m_thread;
  QObject* m_worker;  // lives in m_thread; work is posted to it
  QTimer m_timer;
  QTimer m_watch;
  QTimer m_changeDelay;
  QElapsedTimer m_clock;
  std::string m_version;  // of the database file, after the last sync or change seen
  unsigned long m_writes = 0;  // this process's single writes seen
};
