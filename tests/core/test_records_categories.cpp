#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Notes.h"
#include "records/Priorities.h"
#include "records/Tasks.h"

namespace {

class CategoryTest : public RecordsTest {
 protected:
  static std::vector<int> Ids(int kind) {
    std::vector<int> ids;
    for (const CategoryRecord& category : ListCategories(kind)) ids.push_back(category.id);
    return ids;
  }

  static std::string AssignedText(const std::string& word) {
    return "This Category is assigned to one or more " + word + ".  Please delete these " + word +
           " before deleting the Category.";
  }
};

}  // namespace

TEST_F(CategoryTest, ListsOneKindAndKeepsQuotes) {
  const CategoryRecord added{-1, kCategoryNotes, "Bob's \"big\"", "it's \"ok\""};
  const int id = InsertCategory(added);
  ASSERT_GT(id, 0);
  EXPECT_EQ(Stored("select name from category where id = " + std::to_string(id)), "Bob#$%g^s *(!G^%^big*(!G^%^");
  const std::vector<CategoryRecord> notes = ListCategories(kCategoryNotes);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[2], (CategoryRecord{id, kCategoryNotes, added.name, added.comment}));
  EXPECT_EQ(Ids(kCategoryTasks), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(ListCategories(kCategoryEvents).empty());
}

TEST_F(CategoryTest, TheLastCategoryOfAKindStays) {
  EXPECT_EQ(DeleteCategory(2, kCategoryTasks), 0);
  EXPECT_EQ(DeleteCategory(3, kCategoryTasks), 0);
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(DeleteCategory(1, kCategoryTasks), -1);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("You cannot delete the last Category"), 2));
  EXPECT_EQ(Ids(kCategoryTasks), (std::vector<int>{1}));
}

TEST_F(CategoryTest, ACategoryInUseStaysAndTheUserIsToldWhy) {
  for (int i = 0; i < 3; ++i) {
    ContactRecord contact;
    contact.cat_id = 5;
    contact.lname = "Smith " + std::to_string(i);
    ASSERT_GT(InsertContact(contact), 0);
  }
  TaskRecord task;
  task.category_id = 2;
  ASSERT_GT(InsertTask(task), 0);
  NoteRecord note;
  note.category_id = 8;
  ASSERT_GT(InsertNote(note), 0);

  EXPECT_EQ(DeleteCategory(5, kCategoryContacts), -1);
  EXPECT_EQ(DeleteCategory(2, kCategoryTasks), -1);
  EXPECT_EQ(DeleteCategory(8, kCategoryNotes), -1);
  ASSERT_EQ(m_messages.size(), 3u);
  EXPECT_EQ(m_messages[0], std::make_pair(AssignedText("Contacts"), 2));
  EXPECT_EQ(m_messages[1], std::make_pair(AssignedText("Tasks"), 2));
  EXPECT_EQ(m_messages[2], std::make_pair(AssignedText("Notes"), 2));
  EXPECT_EQ(Ids(kCategoryContacts), (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(ListContacts().size(), 3u);
  EXPECT_EQ(ListTasks().size(), 1u);
  EXPECT_EQ(ListNotes().size(), 1u);
}

// Deleting without knowing the usage could hide every record filed under the category.
TEST_F(CategoryTest, AnUnreadableCountDeletesNothing) {
  Exec("drop table note");
  EXPECT_GT(DeleteCategory(8, kCategoryNotes), 0);
  EXPECT_TRUE(m_messages.empty());
  EXPECT_EQ(Ids(kCategoryNotes), (std::vector<int>{7, 8}));
}

TEST_F(CategoryTest, PrioritiesAreReadWhole) {
  const std::vector<PriorityRecord> priorities = ListPriorities();
  ASSERT_EQ(priorities.size(), 3u);
  EXPECT_EQ(priorities[0], (PriorityRecord{1, "High", "Needs attention first", 10724338}));
  EXPECT_EQ(priorities[2].name, "Low");
}
