#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "EditorTest.h"
#include "app/Message.h"
#include "app/Paths.h"
#include "db/DBL.h"
#include "records/Contacts.h"
#include "records/Tasks.h"
#include "ui/CAutoCombo.h"
#include "ui/CColorListCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "ui/CommandEvent.h"
#include "views/DlgOrganizer.h"
#include "views/DlgTasks.h"

namespace {

int StoredSetting(const char* column) {
  DBL::MemResultSet rs = DBL::ExecuteQuery(std::string("select ") + column + " from settings");
  return rs.Next() ? rs.GetInt(column) : -999;
}

class MainWindowTest : public EditorTest {
 protected:
  void TearDown() override {
    m_window.reset();
    EditorTest::TearDown();
  }

  // Not a first start unless a test says so: no install id to draw.
  DlgOrganizer& Open(bool firstStart = false) {
    if (!firstStart) {
      EXPECT_EQ(DBL::ExecuteUpdate("update settings set install_id = '777777'"), 0);
      Settings().Load();
    }
    m_window = std::make_unique<DlgOrganizer>();
    m_window->show();
    // The first page is set up, and its list filled, right after the first paint.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !SortSelector()->currentText().isEmpty(); }));
    QCoreApplication::processEvents();  // the settings save the set-up posted
    return *m_window;
  }

  void ClickTab(int index) {
    CMyTabCtrl* tabs = m_window->GetTabCtrl();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  CColorListCtrl* ListOf(int tab) const {
    return m_window->GetTabCtrl()->GetView(tab)->findChild<CColorListCtrl*>();
  }

  QStringList Column(int tab, int column) const {
    QStringList texts;
    for (int row = 0; row < ListOf(tab)->GetItemCount(); ++row) texts << ListOf(tab)->GetItemText(row, column);
    return texts;
  }

  int AddTask(const std::string& name, int priority, int completed = 0) {
    TaskRecord task;
    task.name = name;
    task.category_id = 1;
    task.priority_id = priority;
    task.warning = 0;
    const int id = InsertTask(task);
    EXPECT_GT(id, 0);
    if (completed) {
      EXPECT_EQ(SetTaskCompleted(id, 1), 0);
    }
    return id;
  }

  CAutoCombo* SortSelector() const { return qobject_cast<CAutoCombo*>(m_window->GetDlgItem(DlgOrganizer::kIdSort)); }

  std::unique_ptr<DlgOrganizer> m_window;
};

}  // namespace

TEST_F(MainWindowTest, TasksAreSortedByNameAtEveryStartWhateverWasStored) {
  AddTask("b task", 1);
  AddTask("C task", 3);
  AddTask("a task", 2);
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set task_sort = 2"), 0);
  Open();
  EXPECT_EQ(Settings().GetTaskSort(), 0);
  EXPECT_EQ(SortSelector()->currentText(), "Task Name");
  EXPECT_EQ(Column(0, 0), (QStringList{"a task", "b task", "C task"}));
  EXPECT_EQ(Column(0, 1), (QStringList{"Medium", "High", "Low"}));
}

TEST_F(MainWindowTest, ChoosingASortKeyStoresItAndReloads) {
  AddTask("b task", 1);
  AddTask("a task", 3);
  Open();
  SortSelector()->SelectItem(2);  // "Priority"
  QCoreApplication::processEvents();
  EXPECT_EQ(Column(0, 0), (QStringList{"b task", "a task"}));
  EXPECT_EQ(StoredSetting("task_sort"), 2) << "saved through the posted save";
}

TEST_F(MainWindowTest, SwitchingTabsReloadsTheListAndSavesItsSortKey) {
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set contact_sort = 1"), 0);
  Open();
  ContactRecord contact;
  contact.lname = "Added";
  contact.fname = "Late";
  contact.cat_id = 4;
  ASSERT_GT(InsertContact(contact), 0);
  ClickTab(1);
  EXPECT_EQ(m_window->GetCurrentTab(), 1);
  EXPECT_EQ(Column(1, 0), QStringList{"Added, Late"});
  EXPECT_EQ(SortSelector()->currentText(), "Category");
  EXPECT_TRUE(SortSelector()->isVisible());
  EXPECT_EQ(StoredSetting("contact_sort"), 1);

  ClickTab(2);
  EXPECT_FALSE(SortSelector()->isVisible()) << "events are always listed by time";
  EXPECT_FALSE(m_window->GetDlgItem(DlgOrganizer::kIdSortLabel)->isVisible());
  ClickTab(0);
  EXPECT_TRUE(SortSelector()->isVisible());
  EXPECT_EQ(SortSelector()->currentText(), "Task Name");
}

TEST_F(MainWindowTest, DeleteRemovesExactlyTheSelectedTaskOnYesAndNothingOnNo) {
  AddTask("a keep", 1);
  const int doomed = AddTask("b delete", 1);
  AddTask("c keep", 1);
  Open();
  ListOf(0)->SelectRow(1);
  m_answer = 2;
  m_window->GetTabCtrl()->GetView(0)->OnDeleteItems();
  EXPECT_EQ(ListTasks().size(), 3u);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], (std::pair<std::string, int>{"Are you sure you want to delete this Task?", 0}));

  m_answer = 1;
  ListOf(0)->SelectRow(1);
  m_window->GetTabCtrl()->GetView(0)->OnDeleteItems();
  EXPECT_EQ(LoadTask(doomed).id, -1);
  EXPECT_EQ(Column(0, 0), (QStringList{"a keep", "c keep"}));
}

TEST_F(MainWindowTest, EmptyListsGiveTheNoSelectionNotices) {
  Open();
  for (int tab : {0, 1, 2, 3}) {
    DlgBase* view = m_window->GetTabCtrl()->GetView(tab);
    view->OnDeleteItems();
    view->OnEditItem();
  }
  const std::vector<std::pair<std::string, int>> expected = {
      {"No Tasks were selected for deletion!", 1},   {"Please select a Task to edit!", 1},
      {"No Contacts selected for deletion!", 1},     {"Please select a Contact to edit!", 1},
      {"No Events selected for deletion!", 1},       {"Please select an Event to edit!", 1},
      {"No Notes were selected for deletion!", 1},   {"Please select a Note to edit!", 1},
  };
  EXPECT_EQ(m_messages, expected);
}

TEST_F(MainWindowTest, TickingATaskStoresItAndStrikesItOutWhileRefreshingStoresNothing) {
  const int id = AddTask("walk", 1);
  AddTask("done already", 2, 1);
  Open();
  CColorListCtrl* list = ListOf(0);
  ASSERT_EQ(list->GetItemValue(1), id);
  EXPECT_EQ(list->GetCheck(0), 1);
  EXPECT_TRUE(list->GetCellLook(0, 0, false).font->strikeOut());

  list->SetCheck(1, true);  // as the user's click does
  EXPECT_EQ(LoadTask(id).completed, 1);
  EXPECT_TRUE(list->GetCellLook(1, 0, false).font->strikeOut());
  EXPECT_EQ(list->GetCellLook(1, 0, false).textColor, 0x7D7DFF);

  list->SetCheck(1, false);
  EXPECT_EQ(LoadTask(id).completed, 0);
  EXPECT_EQ(list->GetCellLook(1, 0, false).textColor, Settings().GetClrText());

  const std::vector<TaskRecord> before = ListTasks();
  m_window->GetTabCtrl()->GetView(0)->RefreshList();
  EXPECT_EQ(ListTasks(), before);
}

TEST_F(MainWindowTest, ATickThatCannotBeStoredIsUndoneAndTold) {
  const int id = AddTask("walk", 1);
  Open();
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_update "
                               "before update on task begin select raise(abort, 'refused'); end"),
            0);
  ListOf(0)->SetCheck(0, true);
  EXPECT_EQ(LoadTask(id).completed, 0);
  EXPECT_EQ(ListOf(0)->GetCheck(0), 0) << "the screen shows what is stored";
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_NE(m_messages[0].first.find("could not be marked"), std::string::npos);
}

// A second copy of the program, or the file replaced underneath, can make any write fail.
TEST_F(MainWindowTest, ADeleteThatCannotBeStoredIsToldAndTheRowStays) {
  const int id = AddTask("walk", 1);
  Open();
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_delete "
                               "before delete on task begin select raise(abort, 'refused'); end"),
            0);
  m_window->GetTabCtrl()->GetView(0)->OnDeleteItems();
  EXPECT_EQ(LoadTask(id).id, id);
  EXPECT_EQ(Column(0, 0), QStringList{"walk"});
  const std::vector<std::pair<std::string, int>> expected = {
      {"Are you sure you want to delete this Task?", kMessageYesNo}, {"The Task could not be deleted.", kMessageOkNotice}};
  EXPECT_EQ(m_messages, expected);
}

TEST_F(MainWindowTest, ASortOrderThatCannotBeSavedIsTold) {
  AddTask("walk", 1);
  Open();
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_update "
                               "before update on settings begin select raise(abort, 'refused'); end"),
            0);
  SortSelector()->SelectItem(2);
  QCoreApplication::processEvents();
  EXPECT_EQ(StoredSetting("task_sort"), 0);
  EXPECT_EQ(m_messages, (std::vector<std::pair<std::string, int>>{{"The settings could not be saved.", kMessageNotice}}));
}

TEST_F(MainWindowTest, TheFirstStartDrawsAnInstallIdMirrorsAndSavesItOnce) {
  ASSERT_EQ(StoredSetting("install_id"), 0);
  Open(true);
  const int id = Settings().GetInstallId();
  EXPECT_GT(id, 10000);
  EXPECT_LE(id, 10000000);
  EXPECT_EQ(StoredSetting("install_id"), id);
  const std::string conf = Paths::ConfigHome() + "/Tavrin/Orvale Organizer.conf";
  std::ifstream in(conf);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("installID=" + std::to_string(id) + "\n"), std::string::npos) << conf;

  m_window.reset();
  std::filesystem::remove(conf);
  Settings().Load();
  Open(true);  // the stored id is kept: nothing is drawn or mirrored again
  EXPECT_EQ(Settings().GetInstallId(), id);
  EXPECT_FALSE(std::filesystem::exists(conf));
}

TEST_F(MainWindowTest, EnterAndEscapeLeaveTheWindowOpenAndCloseEndsIt) {
  Open();
  QTest::keyClick(m_window.get(), Qt::Key_Return);
  QTest::keyClick(m_window.get(), Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_TRUE(m_window->isVisible());
  m_window->close();  // as the window manager's close does
  EXPECT_FALSE(m_window->isVisible());
  EXPECT_EQ(m_window->result(), DlgBase::kIdOk);
}

TEST_F(MainWindowTest, TrayCommandsAlternateAndTheWindowCanAlwaysComeBack) {
  Open();
  QCoreApplication::postEvent(m_window.get(), new CommandEvent(DlgOrganizer::kTrayMinimize));
  QCoreApplication::processEvents();
  EXPECT_TRUE(m_window->isMinimized() || !m_window->isVisible());
  EXPECT_EQ(m_window->GetTray().OnIconMessage(DlgOrganizer::kTrayIconId, QSystemTrayIcon::DoubleClick), 1);
  QCoreApplication::processEvents();
  EXPECT_TRUE(m_window->isVisible());
  EXPECT_FALSE(m_window->isMinimized());
}

namespace {

// Takes the pages the program asks the desktop to open.
class PageCatcher : public QObject {
  Q_OBJECT

 public:
  PageCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
  ~PageCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }
};

}  // namespace

TEST_F(MainWindowTest, HelpAndTheFirstRunPageAreLocalPages) {
  PageCatcher pages;
  Open(true);
  const int id = Settings().GetInstallId();
  QTest::qWait(2300);  // the first-run page opens two seconds after the window
  ASSERT_EQ(pages.opened.size(), 1u);
  EXPECT_TRUE(QFileInfo::exists(pages.opened[0].toLocalFile())) << pages.opened[0].toString().toStdString();
  EXPECT_TRUE(pages.opened[0].path().endsWith("/welcome.html"));
  EXPECT_EQ(pages.opened[0].query(), QStringLiteral("id=%1").arg(id));

  QWidget* help = m_window->GetDlgItem(DlgOrganizer::kIdHelp);
  QTest::mouseClick(help, Qt::LeftButton, {}, help->rect().center());
  ASSERT_EQ(pages.opened.size(), 2u);
  EXPECT_TRUE(QFileInfo::exists(pages.opened[1].toLocalFile()));
  EXPECT_TRUE(pages.opened[1].path().endsWith("/index.html"));
}

#include "test_main_window.moc"
