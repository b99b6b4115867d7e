#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "RecordsTest.h"
#include "db/DBL.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Notes.h"
#include "records/Tasks.h"
#include "records/UndoHistory.h"

namespace {

class UndoTest : public RecordsTest {
 protected:
  static TaskRecord Task(const std::string& name, int category = 2) {
    TaskRecord task;
    task.category_id = category;
    task.priority_id = 1;
    task.name = name;
    task.description = "line one\nit's \"quoted\"";
    task.deadline = 1;
    task.deadline_time = 1;
    task.due_date = 46000;
    task.due_time = 0.1234567890123;
    task.warning = 15;
    return task;
  }

  // Deletes the task the way the task page does, recording the step.
  static void DeleteRecorded(UndoHistory& history, int id) {
    UndoStep step{UndoStep::kDelete, {TakeSnapshot(kCategoryTasks, id)}, {}};
    step.after.push_back(step.before.front().Absent());
    ASSERT_EQ(DeleteTask(id), 0);
    history.Record(std::move(step));
  }
};

}  // namespace

TEST_F(UndoTest, DeletedTaskComesBackWholeWithItsIdAndRedoDeletesItAgain) {
  const int first = InsertTask(Task("first"));
  const int id = InsertTask(Task("O'Brien's \"list\""));
  ASSERT_GT(id, first);
  ASSERT_EQ(SetTaskCompleted(id, 1), 0);
  const RecordSnapshot stored = TakeSnapshot(kCategoryTasks, id);
  EXPECT_EQ(stored.Title(), "O'Brien's \"list\"");

  UndoHistory history;
  DeleteRecorded(history, id);
  ASSERT_EQ(LoadTask(id).id, -1);
  ASSERT_EQ(history.Undo(), 0);
  // Every column with its stored type and value, the REAL to the last bit.
  EXPECT_EQ(TakeSnapshot(kCategoryTasks, id), stored);
  EXPECT_EQ(LoadTask(id).name, "O'Brien's \"list\"");
  EXPECT_EQ(LoadTask(id).completed, 1);

  ASSERT_EQ(history.Redo(), 0);
  EXPECT_EQ(LoadTask(id).id, -1);
  EXPECT_EQ(LoadTask(first).name, "first");
  EXPECT_EQ(history.Redo(), 1);  // nothing left to redo
  ASSERT_EQ(history.Undo(), 0);
  EXPECT_EQ(TakeSnapshot(kCategoryTasks, id), stored);
  EXPECT_EQ(history.Undo(), 1);
}

TEST_F(UndoTest, AnEditAndACompletionTickAreTakenBackInTurn) {
  ContactRecord contact;
  contact.cat_id = 5;
  contact.fname = "Seán";
  contact.note = "old";
  contact.id = InsertContact(contact);
  UndoHistory history;

  UndoStep edit{UndoStep::kEdit, {TakeSnapshot(kCategoryContacts, contact.id)}, {}};
  ContactRecord edited = contact;
  edited.note = "new";
  edited.cat_id = 6;
  ASSERT_EQ(UpdateContact(edited), 0);
  edit.after.push_back(TakeSnapshot(kCategoryContacts, contact.id));
  history.Record(edit);

  const int task = InsertTask(Task("tick"));
  UndoStep tick{UndoStep::kCompletion, {TakeSnapshot(kCategoryTasks, task)}, {}};
  ASSERT_EQ(SetTaskCompleted(task, 1), 0);
  tick.after.push_back(TakeSnapshot(kCategoryTasks, task));
  history.Record(tick);

  UndoStep undone;
  ASSERT_EQ(history.Undo(&undone), 0);
  EXPECT_EQ(undone.kind, UndoStep::kCompletion);
  EXPECT_EQ(LoadTask(task).completed, 0);
  EXPECT_EQ(LoadContact(contact.id).note, "new");
  ASSERT_EQ(history.Undo(), 0);
  EXPECT_EQ(LoadContact(contact.id), contact);
  ASSERT_EQ(history.Redo(), 0);
  EXPECT_EQ(LoadContact(contact.id), edited);
}

TEST_F(UndoTest, ARecordWhoseCategoryWasDeletedMeanwhileBringsItBack) {
  CategoryRecord category{-1, kCategoryNotes, "Recipes", "kitchen"};
  category.id = InsertCategory(category);
  NoteRecord note;
  note.category_id = category.id;
  note.subject = "Bread";
  note.id = InsertNote(note);
  UndoHistory history;
  UndoStep step{UndoStep::kDelete, {TakeSnapshot(kCategoryNotes, note.id)}, {}};
  step.after.push_back(step.before.front().Absent());
  ASSERT_EQ(DeleteNote(note.id), 0);
  history.Record(step);
  ASSERT_EQ(DeleteCategory(category.id, kCategoryNotes), 0);

  ASSERT_EQ(history.Undo(), 0);
  EXPECT_EQ(LoadNote(note.id).catname, "Recipes");
  const std::vector<CategoryRecord> notes = ListCategories(kCategoryNotes);
  EXPECT_EQ(std::count(notes.begin(), notes.end(), category), 1);
  // Taking the delete again leaves the category, which others may use by now.
  ASSERT_EQ(history.Redo(), 0);
  EXPECT_EQ(LoadNote(note.id).id, -1);
  EXPECT_EQ(ListCategories(kCategoryNotes).size(), notes.size());
}

TEST_F(UndoTest, AnImportOfManyRecordsIsOneStep) {
  UndoStep import{UndoStep::kImport, {}, {}};
  for (int n = 0; n < 30; ++n) {
    const int id = InsertTask(Task("imported " + std::to_string(n)));
    import.after.push_back(TakeSnapshot(kCategoryTasks, id));
    import.before.push_back(import.after.back().Absent());
  }
  UndoHistory history;
  history.Record(import);
  ASSERT_EQ(history.Undo(), 0);
  EXPECT_TRUE(ListTasks().empty());
  ASSERT_EQ(history.Redo(), 0);
  EXPECT_EQ(ListTasks().size(), 30u);
}

TEST_F(UndoTest, KeepsTheNewestStepsAndANewChangeEndsRedo) {
  UndoHistory history(20);
  std::vector<int> ids;
  for (int n = 0; n < 25; ++n) {
    ids.push_back(InsertTask(Task("t" + std::to_string(n))));
    DeleteRecorded(history, ids.back());
  }
  int undone = 0;
  while (history.Undo() == 0) ++undone;
  EXPECT_EQ(undone, 20);
  EXPECT_EQ(LoadTask(ids[4]).id, -1);  // older than the last 20 steps
  EXPECT_EQ(LoadTask(ids[5]).name, "t5");
  ASSERT_TRUE(history.CanRedo());
  DeleteRecorded(history, ids[24]);
  EXPECT_FALSE(history.CanRedo());
}

TEST_F(UndoTest, AStepTheFileRefusesStaysToBeTriedAgain) {
  UndoHistory history;
  const int id = InsertTask(Task("kept"));
  DeleteRecorded(history, id);
  RefuseWrites("task");
  EXPECT_NE(history.Undo(), 0);
  EXPECT_EQ(LoadTask(id).id, -1);
  EXPECT_TRUE(history.CanUndo());
  for (const char* change : {"insert", "update", "delete"}) Exec(std::string("drop trigger refuse_") + change + "_task");
  ASSERT_EQ(history.Undo(), 0);
  EXPECT_EQ(LoadTask(id).name, "kept");
}

TEST_F(UndoTest, ARecordInAFileThatCannotBeReadGivesNothingToPutBack) {
  const int id = InsertTask(Task("gone"));
  ASSERT_EQ(std::remove(DatabasePath().c_str()), 0);
  const RecordSnapshot snapshot = TakeSnapshot(kCategoryTasks, id);
  EXPECT_FALSE(snapshot.Exists());
  EXPECT_TRUE(snapshot.tables.empty());
  EXPECT_NE(RestoreSnapshots({snapshot}), 0);  // no file: nothing claimed as stored
}
