#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "db/OleDate.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "recurrence/Occurrences.h"
#include "recurrence/RepeatRules.h"

namespace {

int Day(int y, int m, int d) { return OleDate::DayNumber(OleDate::FromParts({y, m, d})); }
double At(int y, int m, int d, int h, int min) { return OleDate::FromParts({y, m, d, h, min, 0}); }

class RecurrenceTest : public RecordsTest {
 protected:
  static int AddEvent(double moment, bool timed, const std::string& rrule, int warning = 0) {
    const int id = InsertEvent(EventRecord{-1, static_cast<double>(OleDate::DayNumber(moment)), timed ? 1 : 0,
                                           timed ? OleDate::TimeOfDay(moment) : 0.0, "Meeting", "", warning});
    if (!rrule.empty()) {
      EXPECT_EQ(SaveRepeatRule(2, id, RepeatRule{rrule, {}, {}}), 0);
    }
    return id;
  }
  static int AddTask(double moment, const std::string& rrule) {
    TaskRecord task;
    task.category_id = 1;
    task.priority_id = 2;
    task.name = "Water the plants";
    task.deadline = 1;
    task.deadline_time = 1;
    task.due_date = OleDate::DayNumber(moment);
    task.due_time = OleDate::TimeOfDay(moment);
    const int id = InsertTask(task);
    if (!rrule.empty()) {
      EXPECT_EQ(SaveRepeatRule(0, id, RepeatRule{rrule, {}, {}}), 0);
    }
    return id;
  }
  static std::vector<int> Days(const std::vector<Occurrence>& list) {
    std::vector<int> days;
    for (const Occurrence& o : list) days.push_back(o.day);
    return days;
  }
};

TEST_F(RecurrenceTest, WeeklyEventShowsOnItsWeekdaysOnly) {
  const int id = AddEvent(At(2026, 1, 5, 9, 30), true, "FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20260121");
  const std::vector<Occurrence> list = OccurrencesBetween(Day(2026, 1, 1), Day(2026, 1, 31));
  EXPECT_EQ(Days(list), (std::vector<int>{Day(2026, 1, 5), Day(2026, 1, 7), Day(2026, 1, 12), Day(2026, 1, 14),
                                          Day(2026, 1, 19), Day(2026, 1, 21)}));
  for (const Occurrence& o : list) {
    EXPECT_EQ(o.id, id);
    EXPECT_TRUE(o.repeats);
    EXPECT_TRUE(o.hasTime);
    EXPECT_NEAR(o.time, 9.5 / 24, 1e-6);
  }
  EXPECT_EQ(LoadRepeatRule(2, id).rrule, "FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20260121");
}

}  // namespace
