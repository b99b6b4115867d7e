#pragma once

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "app/AppBase.h"
#include "app/FontConfigWarmUp.h"

class GuardedApplication;
class InstanceLock;
class RunningCopy;

// The application object of the GUI program: owns the QApplication, prepares
// the database, loads the settings and runs the main window.
class COrganizerApp : public AppBase {
 public:
  COrganizerApp(int& argc, char** argv);
  ~COrganizerApp() override;

  // Start-up and the whole interactive life of the program. Returns the
  // process exit code: 0 after a normal run and when a copy already running
  // was brought to the front instead, 1 when the database is unusable or the
  // running copy does not answer.
  int InitInstance();

 private:
  // Tells the user why the database cannot be used; returns the exit code 1.
  static int Refuse(const std::string& database, const std::string& problem);
  // Today's copy of the database, once the main window is up, then every 24 h.
  void StartDailyBackups();

  // Files given on the command line, for their import previews.
  QStringList m_toOpen;
  // The arguments the QApplication keeps for its whole life.
  std::vector<char*> m_args;
  int m_argc;
  // Started before the QApplication, so that the two overlap.
  FontConfigWarmUp m_fontConfig;
  std::unique_ptr<GuardedApplication> m_qapp;
  // The one copy for this user and database; later starts ask it to show itself.
  std::unique_ptr<RunningCopy> m_copy;
  // Held while the program runs, so that a restore can tell.
  std::unique_ptr<InstanceLock> m_running;
};
