#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <string>

#include "app/InstanceLock.h"

class QSocketNotifier;

// One running copy per user and database. The first copy holds a lock and
// listens on a local socket, both named after the user and the database's
// full path; a later start asks it to show its window (and to open the files
// it was given) and ends; a command-line import asks it to list the records
// again. The system
// drops the lock when a process ends, however it ends, so a socket left
// behind by a killed copy never keeps the next one from starting.
class RunningCopy : public QObject {
  Q_OBJECT

 public:
  enum Outcome {
    kFirst,       // this process is the one copy: it goes on starting
    kShownOther,  // the running copy was asked to show itself (and open the files)
    kNoAnswer,    // a copy holds the lock but did not answer in time
  };
  static constexpr int kAnswerWaitMs = 10000;

  explicit RunningCopy(const std::string& databaseFile, QObject* parent = nullptr);
  ~RunningCopy() override;

  // Becomes the first copy, or asks the one running to show itself and to
  // open `files` (full paths). A copy that is still starting gets up to
  // `waitMs` to begin answering.
  Outcome Claim(const QStringList& files = {}, int waitMs = kAnswerWaitMs);

  // Tells the copy running on this database, if there is one, that its
  // records were changed from outside; false when none answered.
  static bool AskToRefresh(const std::string& databaseFile);

  // The socket for this user and database: in $XDG_RUNTIME_DIR when there is
  // one, else in the temporary folder with the user id in its name.
  static QString SocketPath(const std::string& databaseFile);

 signals:
  // A later start asked for the window; only the first copy sends it.
  void ShowRequested();
  // A later start was given these files to open; sent after ShowRequested.
  void OpenRequested(const QStringList& files);
  // The records were changed by another process.
  void RefreshRequested();

 private:
  void Listen();
  bool AskToShow(const QStringList& files) const;
  void OnConnection();
  void Serve(int client);

  QString m_socketPath;
  InstanceLock m_lock;
  QSocketNotifier* m_listening = nullptr;
};
