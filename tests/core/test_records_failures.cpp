#include <gtest/gtest.h>

#include "RecordsTest.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"

// A write that SQLite refuses reaches the caller as a failure, for every kind of record.
TEST_F(RecordsTest, RefusedWritesReachTheCaller) {
  TaskRecord task;
  task.category_id = 1;
  task.id = InsertTask(task);
  ContactRecord contact;
  contact.cat_id = 4;
  contact.id = InsertContact(contact);
  EventRecord event;
  event.id = InsertEvent(event);
  NoteRecord note;
  note.category_id = 7;
  note.id = InsertNote(note);
  for (const char* table : {"task", "contact", "event", "note", "category"}) RefuseWrites(table);

  EXPECT_EQ(InsertTask(task), 0);
  EXPECT_NE(UpdateTask(task), 0);
  EXPECT_NE(SetTaskCompleted(task.id, 1), 0);
  EXPECT_NE(DeleteTask(task.id), 0);
  EXPECT_EQ(InsertContact(contact), 0);
  EXPECT_NE(UpdateContact(contact), 0);
  EXPECT_NE(DeleteContact(contact.id), 0);
  EXPECT_EQ(InsertEvent(event), 0);
  EXPECT_NE(UpdateEvent(event), 0);
  EXPECT_NE(DeleteEvent(event.id), 0);
  EXPECT_EQ(InsertNote(note), 0);
  EXPECT_NE(UpdateNote(note), 0);
  EXPECT_NE(DeleteNote(note.id), 0);
  EXPECT_EQ(InsertCategory({-1, kCategoryTasks, "x", ""}), 0);
  EXPECT_GT(DeleteCategory(3, kCategoryTasks), 0);
  EXPECT_EQ(ListTasks().size() + ListContacts().size() + ListEvents(-1).size() + ListNotes().size(), 4u);
  EXPECT_EQ(ListCategories(kCategoryTasks).size(), 3u);
}
