#include <QMessageBox>

#include "EditorTest.h"
#include "db/DBL.h"
#include "editors/DlgMngCategories.h"
#include "records/Categories.h"
#include "records/Tasks.h"
#include "ui/CButtonST.h"
#include "ui/CColorListCtrl.h"
#include "ui/CColorStatic.h"
#include "ui/CColorEdit.h"
#include "ui/ListStyle.h"

namespace {

using Manager = DlgMngCategories;

CColorListCtrl* List(Manager& m) { return qobject_cast<CColorListCtrl*>(m.GetDlgItem(Manager::kIdList)); }
CColorEdit* Edit(Manager& m, int id) { return qobject_cast<CColorEdit*>(m.GetDlgItem(id)); }

QStringList Column(Manager& m, int column) {
  QStringList texts;
  for (int row = 0; row < List(m)->GetItemCount(); ++row) texts << List(m)->GetItemText(row, column);
  return texts;
}

class CategoryManagerTest : public EditorTest {
 protected:
  // Types a new category and clicks Add.
  static void Add(Manager& m, const QString& name, const QString& comment = QString()) {
    Edit(m, Manager::kIdName)->setText(name);
    Edit(m, Manager::kIdComment)->setText(comment);
    Click(m.GetDlgItem(Manager::kIdAdd));
  }
  static void Delete(Manager& m, int row) {
    List(m)->SelectRow(row);
    Click(m.GetDlgItem(Manager::kIdDelete));
  }
};

}  // namespace

TEST_F(CategoryManagerTest, ListsTheCategoriesOfItsKindUnderItsTitle) {
  const std::pair<int, const char*> titles[] = {
      {kCategoryTasks, "Manage Task Categories"},
      {kCategoryContacts, "Manage Contact Categories"},
      {kCategoryNotes, "Manage Note Categories"},
  };
  for (const auto& [kind, title] : titles) {
    Manager manager(kind);
    manager.Create();
    EXPECT_EQ(qobject_cast<CColorStatic*>(manager.GetDlgItem(Manager::kIdTitle))->text(), title);
    QStringList names;
    for (const CategoryRecord& c : ListCategories(kind)) names << QString::fromStdString(c.name);
    EXPECT_EQ(Column(manager, 0), names);
    ASSERT_GT(List(manager)->GetItemCount(), 0);
    EXPECT_EQ(List(manager)->GetFirstSelectedRow(), 0);
    EXPECT_EQ(List(manager)->GetItemValue(0), ListCategories(kind)[0].id);
  }
  Manager manager(kCategoryTasks);
  manager.Create();
  EXPECT_EQ(Column(manager, 1), (QStringList{"Everything else", "Tasks for work", "Tasks at home"}));
  EXPECT_EQ(List(manager)->GetCellLook(1, 0, false).textColor, Settings().GetClrText());
}

TEST_F(CategoryManagerTest, AddTrimsTheNameRefusesBlanksAndAllowsTwins) {
  Manager manager(kCategoryTasks);
  manager.Create();
  Add(manager, "   ", "comment");
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("Please enter a Category name."), int(kMessageOkNotice)));
  EXPECT_EQ(Edit(manager, Manager::kIdComment)->text(), "comment") << "nothing is cleared";
  EXPECT_EQ(ListCategories(kCategoryTasks).size(), 3u);

  Add(manager, "  Garden  ", "  beds, hedges  ");
  Add(manager, "Garden", "");
  EXPECT_EQ(Column(manager, 0), (QStringList{"General", "Work", "Personal", "Garden", "Garden"}));
  EXPECT_EQ(ListCategories(kCategoryTasks)[3].comment, "  beds, hedges  ") << "the comment is taken as typed";
  EXPECT_TRUE(Edit(manager, Manager::kIdName)->text().isEmpty());
  EXPECT_TRUE(Edit(manager, Manager::kIdComment)->text().isEmpty());
  EXPECT_EQ(List(manager)->GetFirstSelectedRow(), 0);
  EXPECT_EQ(m_messages.size(), 1u);
}

TEST_F(CategoryManagerTest, AFailedAddKeepsTheTextAndSaysWhy) {
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set task_sort = 0; create trigger no_insert before insert on category "
                               "begin select raise(abort, 'refused'); end"),
            0);
  Manager manager(kCategoryContacts);
  manager.Create();
  Add(manager, "Climbing", "Thursdays");
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].first.rfind("The Category \"Climbing\" was not saved: the organizer database refused", 0), 0u)
      << m_messages[0].first;
  EXPECT_EQ(Edit(manager, Manager::kIdName)->text(), "Climbing");
  EXPECT_EQ(Edit(manager, Manager::kIdComment)->text(), "Thursdays");
  EXPECT_EQ(List(manager)->GetItemCount(), 3);
}

TEST_F(CategoryManagerTest, DeleteAsksFirstAndLeavesTheRefusalsToTheStore) {
  Manager manager(kCategoryTasks);
  manager.Create();
  m_answer = 2;
  Delete(manager, 2);
  EXPECT_EQ(Column(manager, 0), (QStringList{"General", "Work", "Personal"})) << "No deletes nothing";
  m_answer = 1;
  Delete(manager, 2);
  EXPECT_EQ(Column(manager, 0), (QStringList{"General", "Work"}));
  EXPECT_EQ(m_messages.back().first, "Are you sure you want to delete this Category?");

  TaskRecord task;
  task.name = "uses Work";
  task.category_id = 2;
  task.priority_id = 1;
  ASSERT_GT(InsertTask(task), 0);
  m_messages.clear();
  Delete(manager, 1);
  ASSERT_EQ(m_messages.size(), 2u);
  EXPECT_NE(m_messages[1].first.find("assigned to one or more Tasks"), std::string::npos);
  Delete(manager, 0);
  Delete(manager, 0);
  EXPECT_EQ(m_messages.back().first, "You cannot delete the last Category");
  EXPECT_EQ(Column(manager, 0), QStringList{"Work"}) << "the refused category stays listed";

  m_messages.clear();
  List(manager)->clearSelection();
  Click(manager.GetDlgItem(Manager::kIdDelete));
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("No Categories were selected for deletion!"), int(kMessageNotice)));
  EXPECT_EQ(List(manager)->GetFirstSelectedRow(), 0) << "refilled, with the first row selected again";
}

TEST_F(CategoryManagerTest, CloseWindowEndsWithOkEscapeWithCancel) {
  Manager closed(kCategoryTasks);
  EXPECT_EQ(RunModal<Manager>(closed, [](Manager& m) { Click(m.GetDlgItem(DlgBase::kIdOk)); }), DlgBase::kIdOk);
  Manager escaped(kCategoryTasks);
  EXPECT_EQ(RunModal<Manager>(escaped, [](Manager& m) { QTest::keyClick(&m, Qt::Key_Escape); }), DlgBase::kIdCancel);
  Manager windowClose(kCategoryTasks);
  EXPECT_EQ(RunModal<Manager>(windowClose, [](Manager& m) { m.close(); }), DlgBase::kIdCancel);
}

TEST_F(CategoryManagerTest, DatesHaveNoCategories) {
  QString shown;
  QTimer::singleShot(0, [&shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->accept();
  });
  Manager manager(kCategoryEvents);
  manager.Create();
  EXPECT_EQ(shown, "no category for dates");
  EXPECT_EQ(qobject_cast<CColorStatic*>(manager.GetDlgItem(Manager::kIdTitle))->text(), "Manage <INSERT> Categories");
  EXPECT_EQ(List(manager)->GetItemCount(), 0);
}

TEST_F(CategoryManagerTest, ControlsCarryNamesForAssistiveTools) {
  Manager manager(kCategoryNotes);
  manager.Create();
  const std::pair<int, const char*> names[] = {
      {Manager::kIdList, "Categories"},          {Manager::kIdName, "Category Name"},
      {Manager::kIdComment, "Comment"},          {Manager::kIdAdd, "Add New Category"},
      {Manager::kIdDelete, "Delete Selected Category"}, {DlgBase::kIdOk, "Close Window"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(manager.GetDlgItem(id)->accessibleName(), name) << id;
}
