#include <QLineEdit>

#include "MainWindowTest.h"
#include "db/DBL.h"
#include "editors/DlgAddEditTask.h"
#include "editors/DlgMngCategories.h"
#include "records/Tasks.h"
#include "ui/CAutoCombo.h"
#include "ui/CColorListCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "views/DlgOrganizer.h"
#include "views/DlgTasks.h"

namespace {

using Editor = DlgAddEditTask;

// The tasks page inside the main window, as the user meets it.
class TasksEditingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    m_page = static_cast<DlgTasks*>(m_window->GetTabCtrl()->GetView(0));
  }

  CColorListCtrl* List() const { return m_page->GetList(); }

  QStringList Column(int column) const {
    QStringList texts;
    for (int row = 0; row < List()->GetItemCount(); ++row) texts << List()->GetItemText(row, column);
    return texts;
  }

  static QLineEdit* NameEdit(Editor& e) { return qobject_cast<QLineEdit*>(e.GetDlgItem(Editor::kIdName)); }

  // Adds a task through the Add operation, naming it and saving it.
  void AddNamed(const QString& name) {
    WhenModal<Editor>([name](Editor& e) {
      NameEdit(e)->setText(name);
      Click(e.GetDlgItem(DlgBase::kIdOk));
    });
    m_page->OnAddItem();
  }

  DlgTasks* m_page = nullptr;
};

}  // namespace

TEST_F(TasksEditingTest, AddOpensTheEditorAsAChildOfTheMainWindowAndListsTheNewTask) {
  WhenModal<Editor>([this](Editor& e) {
    EXPECT_EQ(e.parentWidget(), m_window.get());
    EXPECT_EQ(e.windowModality(), Qt::WindowModal) << "reminder pop-ups stay usable meanwhile";
    EXPECT_EQ(e.windowTitle(), "Add New Task");
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  m_page->OnAddItem();
  EXPECT_EQ(List()->GetItemCount(), 0);

  AddNamed("b second");
  AddNamed("a first");
  EXPECT_EQ(Column(0), (QStringList{"a first", "b second"})) << "in the order of the sort setting";
  EXPECT_EQ(List()->GetFirstSelectedRow(), 0);
  EXPECT_EQ(m_window->focusWidget(), List()) << "the focus is back in the list";
}

TEST_F(TasksEditingTest, ACategoryAddedWhileAddingATaskIsShownForIt) {
  WhenModal<Editor>([](Editor& e) {
    NameEdit(e)->setText("Trim the hedge");
    WhenModal<DlgMngCategories>([](DlgMngCategories& m) {
      qobject_cast<QLineEdit*>(m.GetDlgItem(DlgMngCategories::kIdName))->setText("Garden");
      Click(m.GetDlgItem(DlgMngCategories::kIdAdd));
      Click(m.GetDlgItem(DlgBase::kIdOk));
    });
    Click(e.GetDlgItem(Editor::kIdCategories));
    auto* category = qobject_cast<CAutoCombo*>(e.GetDlgItem(Editor::kIdCategory));
    category->SelectItem(category->findText("Garden"));
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  m_page->OnAddItem();
  EXPECT_EQ(Column(2), QStringList{"Garden"}) << "the categories are reloaded after an add";
}

TEST_F(TasksEditingTest, EditWorksOnTheSelectedTaskAndRefreshesAfterASave) {
  AddNamed("a first");
  AddNamed("b second");
  List()->SelectRow(1);
  WhenModal<Editor>([](Editor& e) {
    EXPECT_EQ(e.windowTitle(), "Edit Task");
    EXPECT_EQ(NameEdit(e)->text(), "b second");
    NameEdit(e)->setText("0 renamed");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  m_page->OnEditItem();
  EXPECT_EQ(Column(0), (QStringList{"0 renamed", "a first"}));
  EXPECT_EQ(ListTasks().size(), 2u) << "changed, not added";
  EXPECT_EQ(m_window->focusWidget(), List());
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(TasksEditingTest, ADoubleClickOnARowEditsThatTask) {
  AddNamed("a first");
  AddNamed("b second");
  // A person's double click: a click, then the second press that makes it double.
  const QPoint second = List()->visualRect(List()->model()->index(1, 0)).center();
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, second);
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the edit is posted, not run inside the click";
  QString edited;
  WhenModal<Editor>([&edited](Editor& e) {
    edited = NameEdit(e)->text();
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  QCoreApplication::processEvents();
  EXPECT_EQ(edited, "b second");
  EXPECT_EQ(m_window->focusWidget(), List());
}
