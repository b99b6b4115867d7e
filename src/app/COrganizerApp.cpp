#include "app/COrganizerApp.h"

#include <QApplication>
#include <QMessageBox>

#include "app/GuardedApplication.h"
#include "app/Message.h"
#include "app/Paths.h"
#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "ui/DlgMessage.h"
#include "views/DlgOrganizer.h"

namespace {

// Until the settings are loaded the user's colours are unknown (all zero:
// black on black), so start-up problems are shown in a plain box.
int ShowMessageBox(const std::string& text, int kind) {
  const QString message = QString::fromStdString(text);
  if (kind == kMessageYesNo) {
    return QMessageBox::question(nullptr, Paths::kAppName, message) == QMessageBox::Yes ? 1 : 2;
  }
  QMessageBox::information(nullptr, Paths::kAppName, message);
  return 1;
}

// A message belongs to the window the user is working in: it opens above
// that window and blocks it alone.
int ShowMessageDialog(const std::string& text, int kind) {
  DlgMessage message(QString::fromStdString(text), kind, QApplication::activeWindow());
  return message.DoModal();
}

}  // namespace

COrganizerApp::COrganizerApp(int& argc, char** argv) : m_qapp(std::make_unique<GuardedApplication>(argc, argv)) {
  QCoreApplication::setOrganizationName(Paths::kMakerName);
  QCoreApplication::setApplicationName(Paths::kAppName);
  // Closing the last reminder while the main window sits in the tray must not
  // end the program: only the main window does that.
  QApplication::setQuitOnLastWindowClosed(false);
  SetMessageHook(ShowMessageBox);
}

COrganizerApp::~COrganizerApp() { SetMessageHook(nullptr); }

int COrganizerApp::InitInstance() {
  // Nothing may touch a file that is not an organizer database, so this comes
  // before the first statement.
  const std::string problem = DBL::PrepareDatabase(DBL::GetDatabasePath());
  if (!problem.empty()) {
    ShowMessage(problem, kMessageOkNotice);
    return 1;
  }
  GetSettings().Load();
  SetMessageHook(ShowMessageDialog);

  DlgOrganizer mainWindow;
  mainWindow.DoModal();
  return 0;
}
