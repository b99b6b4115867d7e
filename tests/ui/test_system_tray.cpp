#include <QCoreApplication>
#include <QSystemTrayIcon>
#include <QWidget>

#include "UiTest.h"
#include "reminders/CSystemTray.h"
#include "ui/CommandEvent.h"

namespace {

class CommandTarget : public QWidget {
 public:
  bool event(QEvent* e) override {
    if (e->type() != CommandEvent::kType) return QWidget::event(e);
    commands.push_back(static_cast<CommandEvent*>(e)->Command());
    return true;
  }
  std::vector<unsigned> commands;
};

constexpr unsigned kIconId = 130;
constexpr unsigned kRestore = 32773;

}  // namespace

class SystemTrayTest : public UiTest {};

TEST_F(SystemTrayTest, TheTooltipIsCutTo63Characters) {
  CSystemTray tray;
  tray.AddToTray(nullptr, QString(100, QLatin1Char('x')), QIcon(), kIconId, true);
  EXPECT_EQ(tray.Tooltip().size(), 63);
}

TEST_F(SystemTrayTest, WithoutANotificationAreaTheIconWaitsToBeShown) {
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has no tray";
  CSystemTray tray;
  EXPECT_FALSE(tray.AddToTray(nullptr, "Orvale Organizer", QIcon(), kIconId, false));
  EXPECT_TRUE(tray.IsHidden());
  EXPECT_TRUE(tray.IsPending());
  tray.RemoveFromTray();
  EXPECT_FALSE(tray.IsPending());
}

TEST_F(SystemTrayTest, SendingToAMissingTrayMinimisesAndTheWindowCanBeRestored) {
  QWidget window;
  window.show();
  CSystemTray::SendToTray(&window, false);
  EXPECT_TRUE(window.isVisible()) << "hidden with no icon to bring it back";
  EXPECT_TRUE(window.isMinimized());
  CSystemTray::RestoreFromTray(&window, false);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());
}

TEST_F(SystemTrayTest, ADoubleClickPostsTheDefaultCommandOnceOneIsSet) {
  CommandTarget target;
  CSystemTray tray;
  tray.AddToTray(&target, "Orvale Organizer", QIcon(), kIconId, true);
  tray.SetTargetWindow(&target);

  EXPECT_EQ(tray.OnIconMessage(kIconId, QSystemTrayIcon::DoubleClick), 0) << "no default command yet";
  EXPECT_EQ(tray.OnIconMessage(kIconId, QSystemTrayIcon::Context), 1) << "no menu: handled, nothing done";
  EXPECT_EQ(tray.OnIconMessage(kIconId + 1, QSystemTrayIcon::DoubleClick), 0) << "another icon";
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.commands.empty());

  tray.SetDoubleClickCommand(kRestore, false);
  EXPECT_EQ(tray.OnIconMessage(kIconId, QSystemTrayIcon::DoubleClick), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(target.commands, std::vector<unsigned>{kRestore});
}

TEST_F(SystemTrayTest, ASingleClickActsOnlyWhereTheHostSendsNoDoubleClicks) {
  ASSERT_FALSE(CSystemTray::IsStatusNotifierHost()) << "no StatusNotifierItem host in the tests";
  CommandTarget target;
  CSystemTray tray;
  tray.AddToTray(&target, "Orvale Organizer", QIcon(), kIconId, true);
  tray.SetTargetWindow(&target);
  tray.SetDoubleClickCommand(kRestore, false);
  // On other trays a click comes first in every double click, which would undo it.
  EXPECT_EQ(tray.OnIconMessage(kIconId, QSystemTrayIcon::Trigger), 1);
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.commands.empty());
}

TEST_F(SystemTrayTest, TheMenuShowsOrHidesTheWindowAndQuits) {
  constexpr unsigned kMinimize = 32772;
  CommandTarget target;
  CSystemTray tray;
  tray.AddToTray(&target, "Orvale Organizer", QIcon(), kIconId, true);
  tray.SetTargetWindow(&target);
  const QList<QAction*> items = tray.Menu().actions();
  ASSERT_EQ(items.size(), 3);  // show or hide, a separator, quit
  QAction* showHide = items[0];
  EXPECT_FALSE(showHide->isEnabled()) << "no commands given yet";
  tray.SetShowHideCommands(kRestore, kMinimize);

  emit tray.Menu().aboutToShow();
  EXPECT_EQ(showHide->text(), "Show Orvale Organizer");
  showHide->trigger();
  target.show();
  emit tray.Menu().aboutToShow();
  EXPECT_EQ(showHide->text(), "Hide Orvale Organizer");
  showHide->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(target.commands, (std::vector<unsigned>{kRestore, kMinimize}));

  EXPECT_EQ(items[2]->text(), "Quit");
  items[2]->trigger();
  EXPECT_FALSE(target.isVisible()) << "closed as by its own X";
}

TEST_F(SystemTrayTest, AddedCommandsGoAboveQuitAndArePostedToTheWindow) {
  constexpr unsigned kImport = 32774;
  CommandTarget target;
  CSystemTray tray;
  tray.AddToTray(&target, "Orvale Organizer", QIcon(), kIconId, true);
  tray.SetTargetWindow(&target);
  tray.AddCommand("Import...", "Import calendar and contact files (Ctrl+I)", kImport);
  const QList<QAction*> items = tray.Menu().actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[1]->text(), "Import...");
  EXPECT_TRUE(items[2]->isSeparator());
  EXPECT_EQ(items[3]->text(), "Quit");
  EXPECT_TRUE(tray.Menu().toolTipsVisible()) << "the tip names the key";
  items[1]->trigger();
  EXPECT_TRUE(target.commands.empty()) << "posted, not run inside the menu";
  QCoreApplication::processEvents();
  EXPECT_EQ(target.commands, std::vector<unsigned>{kImport});
}
