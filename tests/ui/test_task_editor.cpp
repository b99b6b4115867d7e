#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTextEdit>

#include "EditorTest.h"
#include "db/DBL.h"
#include "db/OleDate.h"
#include "editors/DlgAddEditTask.h"
#include "editors/DlgMngCategories.h"
#include "records/Categories.h"
#include "records/Tasks.h"
#include "reminders/WarningIntervals.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"

namespace {

using Editor = DlgAddEditTask;

const QStringList kDayChoices{"No Warning", "1 day", "2 day", "3 day", "4 day", "5 day"};

CAutoCombo* Box(Editor& editor, int id) { return qobject_cast<CAutoCombo*>(editor.GetDlgItem(id)); }
CButtonST* Button(QWidget& dialog, int id) { return qobject_cast<CButtonST*>(static_cast<DlgBase&>(dialog).GetDlgItem(id)); }
QLineEdit* NameEdit(Editor& editor) { return qobject_cast<QLineEdit*>(editor.GetDlgItem(Editor::kIdName)); }
QTextEdit* Description(Editor& editor) { return qobject_cast<QTextEdit*>(editor.GetDlgItem(Editor::kIdDescription)); }
QDateTimeEdit* Picker(Editor& editor, int id) { return qobject_cast<QDateTimeEdit*>(editor.GetDlgItem(id)); }

QStringList Rows(CAutoCombo* box) {
  QStringList rows;
  for (int i = 0; i < box->count(); ++i) rows << box->itemText(i);
  return rows;
}

int ChosenValue(CAutoCombo* box) { return box->GetItemValue(box->GetSelectedItem()); }

void Choose(CAutoCombo* box, const QString& text) {
  const int index = box->findText(text);
  ASSERT_GE(index, 0) << text.toStdString();
  box->SelectItem(index);
}

int CountTasks() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select count(*) as num from task");
  return rows.Next() ? rows.GetInt("num") : -1;
}

std::string StoredName(int id) {
  // The column as written, before the read-back turns markers into quotes.
  DBL::MemResultSet rows = DBL::ExecuteQuery("select hex(name) as h from task where id = " + DBL::IntToString(id));
  if (!rows.Next()) return "<none>";
  return QByteArray::fromHex(QByteArray::fromStdString(rows.GetString("h"))).toStdString();
}

int LastTaskId() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select max(id) as id from task");
  return rows.Next() ? rows.GetInt("id") : -1;
}

class TaskEditorTest : public EditorTest {
 protected:
  int AddTask(TaskRecord task) {
    if (task.name.empty()) task.name = "Renew the car insurance";
    if (task.category_id < 0) task.category_id = 2;
    if (task.priority_id < 0) task.priority_id = 3;
    const int id = InsertTask(task);
    EXPECT_GT(id, 0);
    return id;
  }

  static TaskRecord Due(int day, double time, int warning, int withTime = 1) {
    TaskRecord task;
    task.deadline = 1;
    task.deadline_time = withTime;
    task.due_date = day;
    task.due_time = time;
    task.warning = warning;
    return task;
  }

  static void Save(Editor& editor) { Click(Button(editor, DlgBase::kIdOk)); }

  // Adds a task through the editor with this name and description.
  int AddThroughEditor(const QString& name, const QString& description) {
    Editor editor(true, -1);
    const int result = RunModal<Editor>(editor, [&](Editor& e) {
      NameEdit(e)->setText(name);
      Description(e)->setPlainText(description);
      Save(e);
    });
    EXPECT_EQ(result, DlgBase::kIdOk) << name.toStdString();
    return LastTaskId();
  }

  const int m_today = OleDate::DayNumber(OleDate::Now());
};

}  // namespace

TEST_F(TaskEditorTest, ReminderChoicesFollowTheTwoCheckBoxes) {
  Editor editor(true, -1);
  editor.Create();
  CAutoCombo* reminder = Box(editor, Editor::kIdReminder);
  CButtonST* hasDate = Button(editor, Editor::kIdHasDate);
  CButtonST* hasTime = Button(editor, Editor::kIdHasTime);
  EXPECT_EQ(Rows(reminder), kDayChoices);
  for (int id : {Editor::kIdReminder, Editor::kIdReminderLabel, Editor::kIdDate, Editor::kIdHasTime, Editor::kIdTime}) {
    EXPECT_FALSE(editor.GetDlgItem(id)->isEnabled()) << id;
  }

  Click(hasDate);
  EXPECT_EQ(Rows(reminder), kDayChoices) << "a date alone offers only days ahead";
  for (int id : {Editor::kIdReminder, Editor::kIdReminderLabel, Editor::kIdDate, Editor::kIdHasTime}) {
    EXPECT_TRUE(editor.GetDlgItem(id)->isEnabled()) << id;
  }
  EXPECT_FALSE(editor.GetDlgItem(Editor::kIdTime)->isEnabled());

  Click(hasTime);
  ASSERT_EQ(reminder->count(), static_cast<int>(kWarningIntervals.size()));
  for (int i = 0; i < reminder->count(); ++i) {
    EXPECT_EQ(reminder->itemText(i).toStdString(), kWarningIntervals[static_cast<size_t>(i)].label);
    EXPECT_EQ(reminder->GetItemValue(i), kWarningIntervals[static_cast<size_t>(i)].minutes);
  }
  EXPECT_TRUE(editor.GetDlgItem(Editor::kIdTime)->isEnabled());
  Choose(reminder, "15 min");

  Click(hasTime);
  EXPECT_EQ(Rows(reminder), kDayChoices);
  EXPECT_EQ(ChosenValue(reminder), 0) << "every rebuild goes back to \"No Warning\"";

  Click(hasTime);
  Click(hasDate);
  EXPECT_FALSE(hasTime->GetCheckState()) << "no time without a date";
  EXPECT_FALSE(editor.GetDlgItem(Editor::kIdTime)->isEnabled());
  EXPECT_EQ(Rows(reminder), kDayChoices);
}

TEST_F(TaskEditorTest, ANewTaskIsStoredExactlyAsChosen) {
  Editor editor(true, -1);
  const int result = RunModal<Editor>(editor, [&](Editor& e) {
    EXPECT_EQ(e.windowTitle(), "Add New Task");
    QTest::keyClicks(NameEdit(e), "Call the bank");
    Choose(Box(e, Editor::kIdPriority), "Low");
    Choose(Box(e, Editor::kIdCategory), "Personal");
    Click(Button(e, Editor::kIdHasDate));
    Click(Button(e, Editor::kIdHasTime));
    Picker(e, Editor::kIdDate)->setDate(QDate(2026, 12, 24));
    Picker(e, Editor::kIdTime)->setTime(QTime(9, 45));
    Choose(Box(e, Editor::kIdReminder), "15 min");
    Save(e);
  });
  ASSERT_EQ(result, DlgBase::kIdOk);
  ASSERT_EQ(CountTasks(), 1);
  const TaskRecord task = LoadTask(LastTaskId());
  EXPECT_EQ(task.name, "Call the bank");
  EXPECT_EQ(task.priority_id, 3);
  EXPECT_EQ(task.category_id, 3);
  EXPECT_EQ(task.deadline, 1);
  EXPECT_EQ(task.deadline_time, 1);
  EXPECT_EQ(task.due_date, OleDate::FromParts({2026, 12, 24}));
  EXPECT_DOUBLE_EQ(task.due_time, (9 * 60 + 45) / 1440.0);
  EXPECT_EQ(task.warning, 15);
  EXPECT_EQ(task.completed, 0);
}

TEST_F(TaskEditorTest, EditShowsTheStoredTaskAndSavesItUnchanged) {
  const int id = AddTask(Due(m_today + 2, 0.5625, 15));
  ASSERT_EQ(SetTaskCompleted(id, 1), 0);
  ASSERT_EQ(DBL::ExecuteUpdate("update task set updated_warning = 30 where id = " + DBL::IntToString(id)), 0);
  std::vector<std::string> statements;
  Editor editor(false, id);
  const int result = RunModal<Editor>(editor, [&](Editor& e) {
    EXPECT_EQ(e.windowTitle(), "Edit Task");
    EXPECT_EQ(NameEdit(e)->text(), "Renew the car insurance");
    EXPECT_EQ(Picker(e, Editor::kIdTime)->text(), "1:30 PM");
    EXPECT_EQ(Box(e, Editor::kIdPriority)->currentText(), "Low");
    EXPECT_EQ(Box(e, Editor::kIdCategory)->currentText(), "Work");
    EXPECT_EQ(Box(e, Editor::kIdReminder)->currentText(), "15 min");
    DBL::SetStatementObserver([&statements](const std::string& sql) { statements.push_back(sql); });
    Save(e);
    DBL::SetStatementObserver(nullptr);
  });
  ASSERT_EQ(result, DlgBase::kIdOk);
  ASSERT_EQ(statements.size(), 1u);
  EXPECT_NE(statements[0].find(",due_time = 0.562500,"), std::string::npos) << statements[0];
  EXPECT_NE(statements[0].find(",updated_warning = -1,"), std::string::npos) << statements[0];
  const TaskRecord task = LoadTask(id);
  EXPECT_EQ(task.due_date, m_today + 2);
  EXPECT_EQ(task.warning, 15);
  EXPECT_EQ(task.updated_warning, -1);
  EXPECT_EQ(task.completed, 1) << "the completed flag is kept";
  EXPECT_EQ(task.category_id, 2);
  EXPECT_EQ(task.priority_id, 3);
}

TEST_F(TaskEditorTest, AnEightHourWarningIsKeptOnlyWithDateAndTime) {
  const int withTime = AddTask(Due(m_today + 2, 0.5, 460));
  Editor both(false, withTime);
  ASSERT_EQ(RunModal<Editor>(both, [](Editor& e) {
              EXPECT_EQ(Box(e, Editor::kIdReminder)->currentText(), "8 hr");
              Save(e);
            }),
            DlgBase::kIdOk);
  EXPECT_EQ(LoadTask(withTime).warning, 460);

  const int dateOnly = AddTask(Due(m_today + 2, 0.5, 460, 0));
  Editor date(false, dateOnly);
  ASSERT_EQ(RunModal<Editor>(date, [](Editor& e) {
              EXPECT_EQ(Box(e, Editor::kIdReminder)->currentText(), "No Warning");
              Save(e);
            }),
            DlgBase::kIdOk);
  EXPECT_EQ(LoadTask(dateOnly).warning, 0);
}

TEST_F(TaskEditorTest, ATaskWithoutADateKeepsTheDefaultsUntilEdited) {
  const int id = AddThroughEditor("Water the plants", "");
  TaskRecord task = LoadTask(id);
  EXPECT_EQ(task.deadline, 0);
  EXPECT_EQ(task.due_date, 0) << "the short insert leaves the table's defaults";
  EXPECT_EQ(task.due_time, 0);
  EXPECT_EQ(task.warning, 0);

  ASSERT_EQ(DBL::ExecuteUpdate("update task set warning = 1420 where id = " + DBL::IntToString(id)), 0);
  Editor editor(false, id);
  ASSERT_EQ(RunModal<Editor>(editor, [](Editor& e) {
              EXPECT_FALSE(Box(e, Editor::kIdReminder)->isEnabled());
              Save(e);
            }),
            DlgBase::kIdOk);
  task = LoadTask(id);
  EXPECT_EQ(task.deadline, 0);
  // The date picker's value, which starts at the current date; without a time
  // of day nothing of the current time is kept.
  EXPECT_NEAR(task.due_date, m_today, 1);
  EXPECT_EQ(task.due_time, 0);
  EXPECT_EQ(task.warning, 0) << "a dateless task must not keep a warning it cannot show";
}

TEST_F(TaskEditorTest, AnEmptyNameIsRefusedButANameOfBlanksIsSaved) {
  Editor editor(true, -1);
  const int result = RunModal<Editor>(editor, [&](Editor& e) {
    Save(e);
    EXPECT_TRUE(e.isVisible()) << "the editor stays open";
    EXPECT_EQ(CountTasks(), 0);
    QTest::keyClicks(NameEdit(e), "   ");
    Save(e);
  });
  EXPECT_EQ(result, DlgBase::kIdOk);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("Please enter a Task name."), int(kMessageNotice)));
  ASSERT_EQ(CountTasks(), 1);
  EXPECT_EQ(LoadTask(LastTaskId()).name, "   ");
}

TEST_F(TaskEditorTest, AFailedSaveIsToldAndKeepsEverythingTyped) {
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_insert before "
                               "insert on task begin select raise(abort, 'refused'); end"),
            0);
  Editor editor(true, -1);
  const int result = RunModal<Editor>(editor, [&](Editor& e) {
    NameEdit(e)->setText("Call the bank");
    Description(e)->setPlainText("about the loan");
    Save(e);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(NameEdit(e)->text(), "Call the bank");
    EXPECT_EQ(Description(e)->toPlainText(), "about the loan");
    // Once the cause is gone the same input saves.
    EXPECT_EQ(DBL::ExecuteUpdate("update settings set task_sort = 0; drop trigger no_insert"), 0);
    Save(e);
  });
  EXPECT_EQ(result, DlgBase::kIdOk);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_NE(m_messages[0].first.find("The Task \"Call the bank\" was not saved: "), std::string::npos);
  EXPECT_EQ(m_messages[0].second, kMessageOkNotice);
  EXPECT_EQ(LoadTask(LastTaskId()).description, "about the loan");

  const int id = LastTaskId();
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set task_sort = 0; create trigger no_update before update on task "
                               "begin select raise(abort, 'refused'); end"),
            0);
  Editor edit(false, id);
  RunModal<Editor>(edit, [&](Editor& e) {
    NameEdit(e)->setText("Call the bank again");
    Save(e);
    EXPECT_TRUE(e.isVisible()) << "an update that failed is not a save";
    EXPECT_EQ(NameEdit(e)->text(), "Call the bank again");
    Click(Button(e, DlgBase::kIdCancel));
  });
  ASSERT_EQ(m_messages.size(), 2u);
  EXPECT_NE(m_messages[1].first.find("was not saved"), std::string::npos);
  EXPECT_EQ(LoadTask(id).name, "Call the bank");
}

TEST_F(TaskEditorTest, CancelWritesNothing) {
  const int id = AddTask(Due(m_today, 0.25, 60));
  const TaskRecord before = LoadTask(id);
  Editor editor(false, id);
  const int result = RunModal<Editor>(editor, [](Editor& e) {
    NameEdit(e)->setText("changed");
    Click(Button(e, Editor::kIdHasDate));
    QTest::keyClick(&e, Qt::Key_Escape);
  });
  EXPECT_EQ(result, DlgBase::kIdCancel);
  EXPECT_EQ(LoadTask(id), before);
}

TEST_F(TaskEditorTest, CategoriesAddedInTheManagerReachTheBoxOnlyAfterCloseWindow) {
  const int id = AddTask(Due(m_today, 0.25, 60));  // filed under "Work"
  Editor editor(false, id);
  RunModal<Editor>(editor, [&](Editor& e) {
    CAutoCombo* category = Box(e, Editor::kIdCategory);
    Choose(category, "Personal");
    WhenModal<DlgMngCategories>([](DlgMngCategories& manager) {
      QTest::keyClicks(manager.GetDlgItem(DlgMngCategories::kIdName), "Garden");
      QTest::keyClicks(manager.GetDlgItem(DlgMngCategories::kIdComment), "beds and hedges");
      Click(manager.GetDlgItem(DlgMngCategories::kIdAdd));
      Click(manager.GetDlgItem(DlgBase::kIdOk));
    });
    Click(Button(e, Editor::kIdCategories));
    ASSERT_EQ(Rows(category), (QStringList{"General", "Work", "Personal", "Garden"}));
    EXPECT_EQ(category->SecondText(3), "beds and hedges");
    EXPECT_EQ(category->SecondText(1), "Tasks for work") << "each row keeps its own comment";
    EXPECT_EQ(category->currentText(), "Work") << "the stored category is chosen again";

    WhenModal<DlgMngCategories>([](DlgMngCategories& manager) {
      QTest::keyClicks(manager.GetDlgItem(DlgMngCategories::kIdName), "Shed");
      Click(manager.GetDlgItem(DlgMngCategories::kIdAdd));
      QTest::keyClick(&manager, Qt::Key_Escape);
    });
    Click(Button(e, Editor::kIdCategories));
    EXPECT_EQ(category->count(), 4) << "Escape leaves the box as it was";
    Choose(category, "Garden");
    Save(e);
  });
  EXPECT_EQ(ListCategories(kCategoryTasks).size(), 5u);
  EXPECT_EQ(LoadTask(id).category_id, ListCategories(kCategoryTasks)[3].id);
}

// What people type: each comes back exactly, in the store and in the editor.
TEST_F(TaskEditorTest, AwkwardTextIsStoredAndShownAgainExactly) {
  const QString longText = QString(100000, QLatin1Char('x')).replace(50000, 3, QStringLiteral("'\"\n"));
  const std::pair<QString, QString> inputs[] = {
      {"Bob's \"big\" day", "it's the \"final\" one"},
      {QString::fromUtf8("🎉 party 🎂"), QString::fromUtf8("買い物 · 리스트 · 购物")},
      {"  padded  ", "  \n  blanks kept  \n"},
      {"long", longText},
  };
  for (const auto& [name, description] : inputs) {
    const int id = AddThroughEditor(name, description);
    const TaskRecord task = LoadTask(id);
    EXPECT_EQ(QString::fromStdString(task.name), name);
    EXPECT_EQ(QString::fromStdString(task.description), description) << name.toStdString();
    Editor editor(false, id);
    editor.Create();
    EXPECT_EQ(NameEdit(editor)->text(), name);
    EXPECT_EQ(Description(editor)->toPlainText(), description) << name.toStdString();
  }
}

// The stored encoding is kept for the files people already have: a marker
// typed as text is stored as typed, and reads back as the quote it stands for.
TEST_F(TaskEditorTest, TypedMarkersAreStoredAsTypedAndTheStatementHolds) {
  const int id = AddThroughEditor("a #$%g^ b *(!G^%^ c", "*(!G^%^");
  EXPECT_EQ(StoredName(id), "a #$%g^ b *(!G^%^ c");
  EXPECT_EQ(LoadTask(id).name, "a ' b \" c");
  EXPECT_EQ(CountTasks(), 1);
}

TEST_F(TaskEditorTest, ControlsCarryNamesForAssistiveTools) {
  Editor editor(true, -1);
  editor.Create();
  const std::pair<int, const char*> names[] = {
      {Editor::kIdName, "Task name"},          {Editor::kIdPriority, "Priority"},
      {Editor::kIdCategory, "Category"},       {Editor::kIdCategories, "Categories..."},
      {Editor::kIdDescription, "Description"}, {Editor::kIdHasDate, "Completion Date"},
      {Editor::kIdHasTime, "Completion Time"}, {Editor::kIdReminder, "Reminder"},
      {DlgBase::kIdOk, "Save"},                {DlgBase::kIdCancel, "Cancel"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(editor.GetDlgItem(id)->accessibleName(), name) << id;
}

TEST_F(TaskEditorTest, TheDescriptionIsNotLeftSelected) {
  const int id = AddThroughEditor("n", "keep me");
  Editor editor(false, id);
  editor.Create();
  EXPECT_FALSE(Description(editor)->textCursor().hasSelection()) << "a key typed would replace it all";
  QTest::keyClicks(Description(editor), "!");
  EXPECT_EQ(Description(editor)->toPlainText(), "keep me!");
}
