#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "RecordsTest.h"
#include "db/OleDate.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "reminders/DueReminders.h"
#include "reminders/ReminderCatchUp.h"

namespace {

constexpr double kSecond = 1.0 / 86400;
constexpr double kMinute = 60 * kSecond;
const double kNoon = OleDate::FromParts({2008, 1, 1, 12, 0, 0});  // day 39448

class ReminderTest : public RecordsTest {
 protected:
  static int AddTask(const std::string& name, double moment, int warning, int completed = 0) {
    TaskRecord task;
    task.category_id = 1;
    task.priority_id = 2;
    task.name = name;
    task.deadline = 1;
    task.deadline_time = 1;
    task.due_date = OleDate::DayNumber(moment);
    task.due_time = OleDate::TimeOfDay(moment);
    task.warning = warning;
    const int id = InsertTask(task);
    if (completed) SetTaskCompleted(id, 1);
    return id;
  }

  // An all-day event when time is 0.
  static int AddEvent(const std::string& title, int day, double time, int warning) {
    return InsertEvent(EventRecord{-1, static_cast<double>(day), time != 0, time, title, "", warning});
  }

  static std::vector<std::string> Names(const std::vector<DueReminder>& due) {
    std::vector<std::string> names;
    for (const DueReminder& item : due) names.push_back(item.name);
    return names;
  }
};

}  // namespace

// Boundaries of the scan itself are tested below; here the extremes.
TEST(MinutesLeftTest, RoundsToTheHalfSecondAndNeverOverflows) {
  EXPECT_EQ(MinutesLeft(kNoon + 59.6 * kSecond, kNoon), 1);
  EXPECT_EQ(MinutesLeft(kNoon + 1e300, kNoon), INT_MAX);
  EXPECT_LT(MinutesLeft(kNoon - 1e300, kNoon), 0);
}

TEST_F(ReminderTest, ItemsWithinTheirWarningFireOnce) {
  const int soon = AddTask("in 4:50", kNoon + 4 * kMinute + 50 * kSecond, 5);
  const int later = AddTask("in 5:10", kNoon + 5 * kMinute + 10 * kSecond, 5);
  const int justPast = AddTask("59 s ago", kNoon - 59 * kSecond, 5);
  const int past = AddTask("61 s ago", kNoon - 61 * kSecond, 5);
  const int silent = AddTask("no warning", kNoon + kMinute, 0);

  const std::vector<DueReminder> due = CollectDueReminders(kNoon);
  ASSERT_EQ(Names(due), (std::vector<std::string>{"59 s ago", "in 4:50"}));
  EXPECT_EQ(due[0].id, justPast);
  EXPECT_EQ(due[0].minutesLeft, 0);
  EXPECT_EQ(due[1].id, soon);
  EXPECT_EQ(due[1].minutesLeft, 4);
  for (const DueReminder& item : due) {
    EXPECT_EQ(item.kind, kReminderTask);
    EXPECT_TRUE(item.warningCleared);
    EXPECT_EQ(LoadTask(item.id).warning, 0);
  }
  EXPECT_EQ(LoadTask(later).warning, 5);
  EXPECT_EQ(LoadTask(past).warning, 5);
  EXPECT_EQ(LoadTask(silent).warning, 0);

  EXPECT_TRUE(CollectDueReminders(kNoon).empty());
  // The later one's window opens a few seconds on.
  EXPECT_EQ(Names(CollectDueReminders(kNoon + 11 * kSecond)), std::vector<std::string>{"in 5:10"});
}

TEST_F(ReminderTest, TasksInListOrderThenEventsByTimeOfDay) {
  GetApp().GetSettings().SetTaskSort(0);
  ASSERT_GT(AddTask("b task", kNoon + 30 * kMinute, 60), 0);
  ASSERT_GT(AddTask("A task, done", kNoon + 30 * kMinute, 60, 1), 0);
  const int timed = AddEvent("half past midnight", 39449, 0.5 / 24, 1420);
  const int allDay = AddEvent("all day", 39449, 0, 1420);

  const std::vector<DueReminder> due = CollectDueReminders(kNoon);
  EXPECT_EQ(Names(due), (std::vector<std::string>{"A task, done", "b task", "all day", "half past midnight"}));
  ASSERT_EQ(due.size(), 4u);
  EXPECT_EQ(due[2].kind, kReminderEvent);
  EXPECT_EQ(due[2].id, allDay);
  EXPECT_EQ(due[2].minutesLeft, 720);
  EXPECT_EQ(due[3].id, timed);
  EXPECT_EQ(LoadEvent(allDay).warning, 0);
  EXPECT_EQ(LoadEvent(timed).warning, 0);
}

TEST_F(ReminderTest, AllDayEventsCountFromMidnight) {
  const int id = AddEvent("all day", 39449, 0, 60);
  EXPECT_TRUE(CollectDueReminders(kNoon + 10 * 60 * kMinute + 59 * kMinute).empty());  // 22:59, 61 min left
  const std::vector<DueReminder> due = CollectDueReminders(kNoon + 11 * 60 * kMinute + 30 * kMinute);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].id, id);
  EXPECT_EQ(due[0].minutesLeft, 30);
  EXPECT_EQ(due[0].when, OleDate::ShortDateText(39449) + " 12:00 AM");
}

TEST_F(ReminderTest, WhenTextShowsTheTimeOnlyForTasksThatHaveOne) {
  TaskRecord task = LoadTask(AddTask("timed", kNoon + 90 * kMinute, 120));  // 13:30
  ASSERT_GT(task.id, 0);
  task.name = "untimed";
  task.deadline_time = 0;
  task.due_date = 39449;  // due at its midnight, 12 hours on
  task.warning = 1440;
  ASSERT_GT(InsertTask(task), 0);
  const std::vector<DueReminder> due = CollectDueReminders(kNoon);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].when, OleDate::ShortDateText(39448) + " 01:30 PM");
  EXPECT_EQ(due[1].when, OleDate::ShortDateText(39449) + " ");
  EXPECT_EQ(due[1].minutesLeft, 720);
}

// A file may keep the time of day an untimed task was typed at; it is never
// the moment the task is due.
TEST_F(ReminderTest, ATaskWithoutATimeIsDueAtTheStartOfItsDay) {
  const double midnight = 39449;
  TaskRecord task = LoadTask(AddTask("untimed", midnight + 13.5 / 24, 60));
  task.deadline_time = 0;
  ASSERT_EQ(UpdateTask(task), 0);
  EXPECT_TRUE(CollectDueReminders(midnight - 61 * kMinute).empty());
  EXPECT_TRUE(CollectMissedReminders(midnight - kMinute).empty());
  const std::vector<DueReminder> due = CollectDueReminders(midnight - 30 * kMinute);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].minutesLeft, 30);

  task.warning = 60;
  ASSERT_EQ(UpdateTask(task), 0);
  const std::vector<DueReminder> missed = CollectMissedReminders(midnight + 30 * kMinute);
  ASSERT_EQ(Names(missed), std::vector<std::string>{"untimed"});
  EXPECT_EQ(missed[0].minutesLeft, -30);
}

TEST_F(ReminderTest, AWarningThatCannotBeClearedIsReported) {
  const int id = AddTask("stuck", kNoon + kMinute, 5);
  RefuseWrites("task");
  std::vector<DueReminder> due = CollectDueReminders(kNoon);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_FALSE(due[0].warningCleared);
  EXPECT_EQ(LoadTask(id).warning, 5);
  EXPECT_NE(SetReminderWarning(kReminderTask, id, 0), 0);
  EXPECT_EQ(CollectDueReminders(kNoon).size(), 1u);
}

TEST_F(ReminderTest, MissedItemsAreThoseWhoseMomentPassedWithAWarningStillSet) {
  GetApp().GetSettings().SetTaskSort(0);
  const int minuteAgo = AddTask("a minute ago", kNoon - kMinute, 5);
  const int justPast = AddTask("b 30 s ago", kNoon - 30 * kSecond, 5);
  const int noWarning = AddTask("c no warning", kNoon - kMinute, 0);
  const int done = AddTask("d done", kNoon - kMinute, 5, 1);
  const int ahead = AddTask("e a second ahead", kNoon + kSecond, 5);
  TaskRecord undated = LoadTask(AddTask("f undated", kNoon - kMinute, 5));
  undated.deadline = 0;
  ASSERT_EQ(UpdateTask(undated), 0);
  const int lastWeek = AddEvent("last week", 39441, 0.5, 60);
  const int tomorrow = AddEvent("tomorrow", 39449, 0.5, 60);

  const std::vector<DueReminder> missed = CollectMissedReminders(kNoon);
  ASSERT_EQ(Names(missed), (std::vector<std::string>{"a minute ago", "b 30 s ago", "last week"}));
  EXPECT_EQ(missed[0].id, minuteAgo);
  EXPECT_EQ(missed[0].minutesLeft, -1);
  EXPECT_EQ(missed[1].id, justPast);
  EXPECT_EQ(missed[1].minutesLeft, 0) << "counted as the scan counts";
  EXPECT_EQ(missed[2].kind, kReminderEvent);
  EXPECT_EQ(missed[2].id, lastWeek);
  EXPECT_EQ(missed[2].minutesLeft, -7 * 1440);
  EXPECT_EQ(missed[2].when, OleDate::ShortDateText(39441) + " 12:00 PM");
  for (const DueReminder& item : missed) EXPECT_TRUE(item.warningCleared);
  EXPECT_EQ(LoadTask(minuteAgo).warning, 0);
  EXPECT_EQ(LoadTask(justPast).warning, 0);
  EXPECT_EQ(LoadEvent(lastWeek).warning, 0);
  // What was not caught is left exactly as it was.
  EXPECT_EQ(LoadTask(noWarning).warning, 0);
  EXPECT_EQ(LoadTask(done).warning, 5);
  EXPECT_EQ(LoadTask(ahead).warning, 5);
  EXPECT_EQ(LoadTask(undated.id).warning, 5);
  EXPECT_EQ(LoadEvent(tomorrow).warning, 60);

  EXPECT_TRUE(CollectMissedReminders(kNoon).empty());
  // The item ahead is the normal scan's, which still finds it.
  EXPECT_EQ(Names(CollectDueReminders(kNoon)), std::vector<std::string>{"e a second ahead"});
}

TEST_F(ReminderTest, EachMissedItemIsCaughtUpAtOneStartOnly) {
  const int id = AddEvent("while away", 39448, 0.25, 30);  // 6:00, before noon
  double now = kNoon;
  const auto clock = [&now] { return now; };
  EXPECT_EQ(Names(ReminderCatchUp(clock).AtStartUp()), std::vector<std::string>{"while away"});
  EXPECT_EQ(LoadEvent(id).warning, 0);
  now += 10 * kMinute;
  EXPECT_TRUE(ReminderCatchUp(clock).AtStartUp().empty()) << "the next start finds nothing";
}

TEST_F(ReminderTest, ScansCatchUpOnlyAfterTheClockJumpedMoreThanTwoMinutes) {
  double now = kNoon;
  ReminderCatchUp catchUp([&now] { return now; });
  EXPECT_TRUE(catchUp.BeforeScan().empty()) << "no start-up yet: nothing to compare with";
  ASSERT_TRUE(catchUp.AtStartUp().empty());

  const int id = AddTask("slept through", kNoon + 90 * kSecond, 1);
  now += kMinute;
  EXPECT_TRUE(catchUp.BeforeScan().empty());
  now += 2 * kMinute;  // exactly two minutes: an ordinary late scan
  EXPECT_TRUE(catchUp.BeforeScan().empty());
  EXPECT_EQ(LoadTask(id).warning, 1) << "passed, but not looked for";
  now -= 10 * kMinute;  // put back
  EXPECT_TRUE(catchUp.BeforeScan().empty());
  now += 10 * kMinute + 2 * kMinute + kSecond;
  const std::vector<DueReminder> missed = catchUp.BeforeScan();
  ASSERT_EQ(Names(missed), std::vector<std::string>{"slept through"});
  EXPECT_EQ(missed[0].minutesLeft, -3);
  EXPECT_EQ(LoadTask(id).warning, 0);
  now += 5 * kMinute;
  EXPECT_TRUE(catchUp.BeforeScan().empty()) << "caught once";
}
