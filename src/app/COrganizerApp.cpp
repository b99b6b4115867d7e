#include "app/COrganizerApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/BackupRestore.h"
#include "app/CommandLine.h"
#include "app/DailyBackup.h"
#include "app/GuardedApplication.h"
#include "app/InstanceLock.h"
#include "app/Message.h"
#include "app/Paths.h"
#include "app/RunningCopy.h"
#include "db/DBL.h"
#include "db/StartupCheck.h"
#include "ui/CommandEvent.h"
#include "ui/DlgMessage.h"
#include "ui/UserPalette.h"
#include "views/DlgOrganizer.h"

namespace {

// Long enough for the main window to be on the screen and filled first.
constexpr int kFirstBackupDelayMs = 3000;
constexpr int kBackupIntervalMs = 24 * 60 * 60 * 1000;

// Until the settings are loaded the user's colours are unknown (all zero:
// black on black), so start-up problems are shown in a plain box.
int ShowMessageBox(const std::string& text, int kind) {
  const QString message = QString::fromStdString(text);
  if (kind == kMessageYesNo || kind == kMessageYesNoCaution) {
    const QMessageBox::StandardButton preset = kind == kMessageYesNo ? QMessageBox::NoButton : QMessageBox::No;
    return QMessageBox::question(nullptr, Paths::kAppName, message, QMessageBox::Yes | QMessageBox::No, preset) ==
                   QMessageBox::Yes
               ? 1
               : 2;
  }
  QMessageBox box(QMessageBox::Information, Paths::kAppName, message);
  // So that a file name or command in it can be copied.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  box.exec();
  return 1;
}

// A message belongs to the window the user is working in: it opens above
// that window and blocks it alone.
int ShowMessageDialog(const std::string& text, int kind) {
  DlgMessage message(QString::fromStdString(text), kind, QApplication::activeWindow());
  return message.DoModal();
}

// The arguments with Qt's "-name" set to the reverse-DNS id, unless one was
// given: on X11 it becomes the windows' instance name, which the desktop
// entry's StartupWMClass names, whatever the executable is called.
std::vector<char*> WithInstanceName(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  const bool named = std::any_of(args.begin(), args.end(), [](const char* arg) {
    return std::strcmp(arg, "-name") == 0 || std::strcmp(arg, "--name") == 0;
  });
  static char nameOption[] = "-name";
  static std::string id = Paths::kAppId;
  if (!named) args.insert(args.begin() + (argc > 0 ? 1 : 0), {nameOption, id.data()});
  args.push_back(nullptr);
  return args;
}

// The files the program was given to open, as full paths: the copy that
// opens them may run in another folder. A file manager may hand over URLs.
QStringList FilesToOpen(int argc, char** argv) {
  QStringList files;
  for (const std::string& file : ParseCommandLine(argc, argv).files) {
    const QString given = QString::fromStdString(file);
    const QUrl url(given);
    files << QFileInfo(url.isLocalFile() ? url.toLocalFile() : given).absoluteFilePath();
  }
  return files;
}

}  // namespace

COrganizerApp::COrganizerApp(int& argc, char** argv)
    : m_toOpen(FilesToOpen(argc, argv)),
      m_args(WithInstanceName(argc, argv)),
      m_argc(static_cast<int>(m_args.size()) - 1),
      m_qapp(std::make_unique<GuardedApplication>(m_argc, m_args.data())) {
  QCoreApplication::setOrganizationName(Paths::kMakerName);
  // The application's name is what screen readers say; docks match the
  // window to its launcher by the desktop file name (the Wayland app id) and
  // the X11 instance name.
  QCoreApplication::setApplicationName(Paths::kAppName);
  QGuiApplication::setDesktopFileName(Paths::kAppId);
  // Closing the last reminder while the main window sits in the tray must not
  // end the program: only the main window does that.
  QApplication::setQuitOnLastWindowClosed(false);
  SetMessageHook(ShowMessageBox);
}

COrganizerApp::~COrganizerApp() { SetMessageHook(nullptr); }

int COrganizerApp::InitInstance() {
  const std::string database = DBL::GetDatabasePath();
  m_copy = std::make_unique<RunningCopy>(database);
  switch (m_copy->Claim(m_toOpen)) {
    case RunningCopy::kFirst:
      break;
    case RunningCopy::kShownOther:
      return 0;
    case RunningCopy::kNoAnswer:
      ShowMessage("Orvale Organizer is already running on \"" + database +
                      "\" but does not answer. Close it (or end it) and start it again.",
                  kMessageOkNotice);
      return 1;
  }
  // Waits while a backup is being restored; nothing else ever holds it exclusively.
  m_running = std::make_unique<InstanceLock>(InstanceLock::PathFor(database));
  m_running->LockShared();
  // Nothing may touch a file that is not an organizer database, so this comes
  // before the first statement. The damage check runs on while the window is
  // built, and is answered before the window shows or anything is written.
  DBL::StartupCheck check(database);
  if (!check.Readable()) return Refuse(database, check.Wait());
  GetSettings().Load();
  ApplyUserPalette(GetSettings());

  m_fontConfig.Wait();
  DlgOrganizer mainWindow;
  if (!check.Wait().empty()) return Refuse(database, check.Wait());
  SetMessageHook(ShowMessageDialog);
  // Shown, restored and raised as the tray icon's restore does, also from the tray or minimised.
  QObject::connect(m_copy.get(), &RunningCopy::ShowRequested, &mainWindow, [&mainWindow] {
    QCoreApplication::postEvent(&mainWindow, new CommandEvent(DlgOrganizer::kTrayRestore));
  });
  // Queued: the previews are modal, and the later start is waiting for its answer.
  QObject::connect(m_copy.get(), &RunningCopy::OpenRequested, &mainWindow, &DlgOrganizer::OpenFiles,
                   Qt::QueuedConnection);
  QObject::connect(m_copy.get(), &RunningCopy::RefreshRequested, &mainWindow, &DlgOrganizer::RefreshLists);
  if (!m_toOpen.isEmpty()) {
    QTimer::singleShot(0, &mainWindow, [&mainWindow, files = m_toOpen] { mainWindow.OpenFiles(files); });
  }
  StartDailyBackups();
  mainWindow.DoModal();
  return 0;
}

int COrganizerApp::Refuse(const std::string& database, const std::string& problem) {
  // The colours were read from the refused file: the notice keeps the plain look.
  QApplication::setPalette(QApplication::style()->standardPalette());
  const std::string advice = BackupRestore::Advice(database);
  ShowMessage(advice.empty() ? problem : problem + "\n\n" + advice, kMessageOkNotice);
  return 1;
}

void COrganizerApp::StartDailyBackups() {
  const auto backUp = [] {
    const std::string why = DailyBackup(DBL::GetDatabasePath()).Run(DailyBackup::Today());
    if (!why.empty()) std::printf("No backup of the organizer database today: %s\n", why.c_str());
  };
  QTimer::singleShot(kFirstBackupDelayMs, m_qapp.get(), backUp);
  auto* daily = new QTimer(m_qapp.get());
  QObject::connect(daily, &QTimer::timeout, backUp);
  daily->start(kBackupIntervalMs);
}
