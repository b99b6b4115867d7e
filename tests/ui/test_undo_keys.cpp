#include <QLineEdit>
#include <QShortcut>

#include "MainWindowTest.h"
#include "editors/DlgAddEditTask.h"
#include "records/Tasks.h"
#include "ui/CColorListCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "views/DlgTasks.h"

namespace {

class UndoKeysTest : public MainWindowTest {
 protected:
  DlgRecordView* Page(int tab) const { return static_cast<DlgRecordView*>(m_window->GetTabCtrl()->GetView(tab)); }

  // What the main window's key does, through the shortcut the window set up for it.
  void Press(const QKeySequence& key) {
    for (QShortcut* shortcut : m_window->findChildren<QShortcut*>()) {
      if (shortcut->key() == key) {
        emit shortcut->activated();
        QCoreApplication::processEvents();
        return;
      }
    }
    ADD_FAILURE() << "no shortcut " << key.toString().toStdString();
  }
};

}  // namespace

TEST_F(UndoKeysTest, AnEditAndACompletionTickAreTakenBackAndMadeAgainFromTheKeys) {
  TaskRecord task;
  task.category_id = 1;
  task.priority_id = 2;
  task.name = "original";
  const int id = InsertTask(task);
  Page(0)->RefreshList();
  Page(0)->GetList()->SelectRow(0);
  WhenModal<DlgAddEditTask>([](DlgAddEditTask& editor) {
    qobject_cast<QLineEdit*>(editor.GetDlgItem(DlgAddEditTask::kIdName))->setText("renamed");
    Click(editor.GetDlgItem(DlgBase::kIdOk));
  });
  Page(0)->OnEditItem();
  Page(0)->GetList()->SetCheck(0, true);
  ASSERT_EQ(LoadTask(id).completed, 1);

  Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(LoadTask(id).completed, 0);
  EXPECT_EQ(LoadTask(id).name, "renamed");
  EXPECT_FALSE(Page(0)->GetList()->GetCheck(0)) << "the page shows the undone tick";
  Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(LoadTask(id).name, "original");
  EXPECT_EQ(Page(0)->GetList()->GetItemText(0, 0), "original");
  Press(QKeySequence(Qt::CTRL | Qt::Key_Y));
  EXPECT_EQ(LoadTask(id).name, "renamed");
  Press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  EXPECT_EQ(LoadTask(id).completed, 1);
  EXPECT_TRUE(m_messages.empty());
}
