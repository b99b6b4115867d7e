#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "records/Tasks.h"

namespace {

class TaskTest : public RecordsTest {
 protected:
  static TaskRecord Task(const std::string& name, int category = 1, int priority = 2) {
    TaskRecord task;
    task.category_id = category;
    task.priority_id = priority;
    task.name = name;
    task.deadline = 1;
    task.deadline_time = 1;
    task.due_date = 39448;
    task.due_time = 0.5625;
    task.warning = 60;
    return task;
  }

  static std::vector<std::string> ListedNames(int taskSort) {
    GetApp().GetSettings().SetTaskSort(taskSort);
    std::vector<std::string> names;
    for (const TaskRecord& task : ListTasks()) names.push_back(task.name);
    return names;
  }
};

}  // namespace

TEST_F(TaskTest, QuotesAndEveryFieldRoundTrip) {
  TaskRecord task = Task("Bob's \"big\"");
  task.description = "line one\n'two' \"three\"";
  task.due_date = 39448.75;  // only the day is stored
  task.id = InsertTask(task);
  ASSERT_GT(task.id, 0);
  EXPECT_EQ(Stored("select name from task where id = " + std::to_string(task.id)), "Bob#$%g^s *(!G^%^big*(!G^%^");
  task.due_date = 39448;
  EXPECT_EQ(LoadTask(task.id), task);

  task.name = "it's done";
  task.completed = 1;
  task.deadline = 0;
  task.deadline_time = 0;
  task.due_date = 40000;
  task.due_time = 0.25;
  task.warning = 0;
  task.updated_warning = 15;
  ASSERT_EQ(UpdateTask(task), 0);
  EXPECT_EQ(LoadTask(task.id), task);
  ASSERT_EQ(ListTasks().size(), 1u);
  EXPECT_EQ(ListTasks()[0], task);

  ASSERT_EQ(SetTaskCompleted(task.id, 0), 0);
  EXPECT_EQ(LoadTask(task.id).completed, 0);
  ASSERT_EQ(DeleteTask(task.id), 0);
  EXPECT_EQ(LoadTask(task.id), TaskRecord{});  // a missing task loads as a fresh record, id -1
}

TEST_F(TaskTest, WithoutCompletionDateTheTableDefaultsAreKeptUntilEdited) {
  TaskRecord task = Task("no date");
  task.deadline = 0;
  task.id = InsertTask(task);
  ASSERT_GT(task.id, 0);
  const TaskRecord stored = LoadTask(task.id);
  EXPECT_EQ(stored.deadline_time, 0);
  EXPECT_EQ(stored.due_date, 0);
  EXPECT_EQ(stored.due_time, 0);
  EXPECT_EQ(stored.warning, 0);
  EXPECT_EQ(stored.updated_warning, -1);
  EXPECT_EQ(stored.completed, 0);
  EXPECT_EQ(stored.name, "no date");

  ASSERT_EQ(UpdateTask(task), 0);
  EXPECT_EQ(LoadTask(task.id), task);
}

TEST_F(TaskTest, ListFollowsTheSortSetting) {
  TaskRecord b = Task("b", 2, 3);
  b.due_date = 39448, b.due_time = 0.75;
  TaskRecord a = Task("A", 3, 1);
  a.due_date = 39449, a.due_time = 0.1;
  TaskRecord c = Task("c", 1, 2);
  c.due_date = 39448, c.due_time = 0.5;
  for (const TaskRecord& task : {b, a, c}) ASSERT_GT(InsertTask(task), 0);

  EXPECT_EQ(ListedNames(0), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(ListedNames(1), (std::vector<std::string>{"c", "b", "A"}));
  EXPECT_EQ(ListedNames(2), (std::vector<std::string>{"A", "c", "b"}));
  // Categories General (1), Work (2), Personal (3), compared in lower case.
  EXPECT_EQ(ListedNames(3), (std::vector<std::string>{"c", "A", "b"}));
  EXPECT_EQ(ListedNames(7).size(), 3u);
}

TEST_F(TaskTest, TiesKeepEveryRow) {
  for (const char* name : {"same", "SAME", "Same"}) ASSERT_GT(InsertTask(Task(name)), 0);
  ASSERT_GT(InsertTask(Task("Other", 1, 1)), 0);
  for (int taskSort : {0, 2}) {
    const std::vector<std::string> names = ListedNames(taskSort);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "Other");
    EXPECT_THAT(std::vector<std::string>(names.begin() + 1, names.end()),
                ::testing::UnorderedElementsAre("same", "SAME", "Same"));
  }
}

TEST_F(TaskTest, TaskWhoseCategoryIsGoneIsKeptButNotListed) {
  const int kept = InsertTask(Task("kept"));
  const int orphan = InsertTask(Task("orphan", 99));
  ASSERT_GT(orphan, 0);
  const std::vector<TaskRecord> listed = ListTasks();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].id, kept);
  EXPECT_EQ(LoadTask(orphan).name, "orphan");
}
