#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

// Each rule's occurrences in a few windows, against python3-dateutil's rrule
// worked out in one run of the independent implementation.
struct Case {
  const char* rrule;
  double start;
  int firstDay, lastDay;
};

std::string PythonOccurrences(const std::vector<Case>& cases) {
  std::string script =
      "from dateutil.rrule import rrulestr\n"
      "from datetime import datetime, timedelta\n"
      "epoch = datetime(1899, 12, 30)\n"
      "for rule, start, first, last in [\n";
  for (const Case& c : cases) {
    script += "  ('" + std::string(c.rrule) + "', " + std::to_string(std::llround(c.start * 86400)) + ", " +
              std::to_string(c.firstDay) + ", " + std::to_string(c.lastDay) + "),\n";
  }
  script +=
      "]:\n"
      "  r = rrulestr(rule, dtstart=epoch + timedelta(seconds=start))\n"
      "  got = r.between(epoch + timedelta(days=first), epoch + timedelta(days=last + 1, seconds=-1), inc=True)\n"
      "  print(' '.join(str(round((t - epoch).total_seconds())) for t in got))\n";
  const std::string path = testing::TempDir() + "/rrules.py";
  FILE* file = std::fopen(path.c_str(), "w");
  std::fputs(script.c_str(), file);
  std::fclose(file);
  FILE* pipe = popen(("/usr/bin/python3 " + path).c_str(), "r");
  std::string output;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  return output;
}

TEST_F(RecurrenceTest, OccurrencesMatchAnIndependentImplementation) {
  const double jan31 = At(2026, 1, 31, 9, 0);
  const double leap = At(2024, 2, 29, 0, 0);
  const std::vector<Case> cases = {
      {"FREQ=MONTHLY;BYMONTHDAY=31", jan31, Day(2026, 1, 1), Day(2026, 12, 31)},
      {"FREQ=MONTHLY;INTERVAL=2;BYMONTHDAY=31", jan31, Day(2027, 6, 1), Day(2028, 6, 30)},
      {"FREQ=MONTHLY;BYMONTHDAY=-1", jan31, Day(2026, 1, 1), Day(2026, 12, 31)},
      {"FREQ=YEARLY", leap, Day(2024, 1, 1), Day(2033, 12, 31)},
      {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29;COUNT=3", leap, Day(2024, 1, 1), Day(2040, 12, 31)},
      {"FREQ=MONTHLY;BYDAY=-1FR", At(2026, 1, 30, 18, 0), Day(2026, 2, 1), Day(2026, 8, 31)},
      {"FREQ=MONTHLY;BYDAY=2TU;COUNT=5", At(2026, 1, 13, 8, 15), Day(2026, 1, 1), Day(2026, 12, 31)},
      {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;UNTIL=20260331T235959", At(2026, 1, 5, 9, 0), Day(2026, 2, 10),
       Day(2026, 4, 30)},
      {"FREQ=DAILY;INTERVAL=3;COUNT=10", At(2026, 12, 25, 7, 0), Day(2026, 12, 1), Day(2027, 2, 28)},
      {"FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", At(2026, 3, 29, 2, 30), Day(2026, 1, 1), Day(2031, 12, 31)},
      {"FREQ=HOURLY;INTERVAL=7;COUNT=20", At(2026, 3, 28, 22, 0), Day(2026, 3, 29), Day(2026, 3, 31)},
      {"FREQ=WEEKLY", At(2026, 1, 1, 12, 0), Day(2030, 1, 1), Day(2030, 1, 31)},
      {"FREQ=MINUTELY;INTERVAL=17", At(2026, 1, 1, 22, 0), Day(2026, 1, 5), Day(2026, 1, 5)},
      {"FREQ=HOURLY;BYMINUTE=0,30", At(2026, 1, 1, 22, 10), Day(2026, 2, 5), Day(2026, 2, 5)},
      {"FREQ=YEARLY;INTERVAL=3;BYMONTH=1,7", At(2026, 1, 1, 0, 0), Day(2031, 1, 1), Day(2036, 12, 31)},
  };
  std::string expected;
  std::string actual;
  for (const Case& c : cases) {
    std::vector<int> ids;
    const EventRecord event{-1, static_cast<double>(OleDate::DayNumber(c.start)), 1, OleDate::TimeOfDay(c.start), "x", "", 0};
    const int id = InsertEvent(event);
    ASSERT_EQ(SaveRepeatRule(2, id, RepeatRule{c.rrule, {}, {}}), 0);
    std::string line;
    for (const Occurrence& o : OccurrencesBetween(c.firstDay, c.lastDay)) {
      if (o.id != id) continue;
      line += (line.empty() ? "" : " ") + std::to_string(std::llround((o.day + o.time) * 86400));
    }
    actual += line + "\n";
    ASSERT_EQ(DeleteEvent(id), 0);
  }
  expected = PythonOccurrences(cases);
  EXPECT_EQ(actual, expected);
}
