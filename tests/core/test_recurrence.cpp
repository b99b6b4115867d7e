#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "RecordsTest.h"
#include "db/OleDate.h"
#include "records/Events.h"
#include "interop/Exporter.h"
#include "interop/Importer.h"
#include "records/RecordSnapshot.h"
#include "records/Tasks.h"
#include "recurrence/Occurrences.h"
#include "recurrence/RepeatRules.h"
#include "reminders/DueReminders.h"

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

TEST_F(RecurrenceTest, CheckSaysWhyARuleCannotBeUsed) {
  const double start = At(2026, 5, 10, 9, 0);
  EXPECT_EQ(CheckRepeatRule("FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20270331", start), "");
  EXPECT_EQ(CheckRepeatRule("FREQ=DAILY;UNTIL=20260501", start), "The repeat ends before it starts.");
  EXPECT_EQ(CheckRepeatRule("FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30", start), "The repeat rule gives no occurrence.");
  EXPECT_EQ(CheckRepeatRule("FREQ=DAILY;COUNT=3;UNTIL=20270101", start),
            "The repeat rule \"FREQ=DAILY;COUNT=3;UNTIL=20270101\" is not understood.");
  EXPECT_EQ(CheckRepeatRule("every day", start), "The repeat rule \"every day\" is not understood.");
  // The day it ends on is still in it, whatever the time.
  EXPECT_EQ(CheckRepeatRule("FREQ=DAILY;UNTIL=20260510", start), "");
}

TEST_F(RecurrenceTest, EndlessRuleEverySecondCostsOnlyTheDaysAsked) {
  const int id = AddEvent(At(2026, 1, 1, 0, 0), true, "FREQ=SECONDLY;COUNT=1000000000");
  const int far = Day(2050, 6, 1);
  const std::vector<Occurrence> day = OccurrencesBetween(far, far);
  ASSERT_EQ(day.size(), 100u);  // at most a hundred of one series on one day
  EXPECT_EQ(day.front().id, id);
  EXPECT_EQ(day.front().day, far);
  EXPECT_NEAR(day[99].time, 99.0 / 86400, 1e-7);
  // A bold day per day of a month, without stepping through every second of it.
  EXPECT_EQ(DaysWithItems(far, far + 30).size(), 31u);
  // Its billionth second is in 2057: nothing after it.
  EXPECT_TRUE(OccurrencesBetween(Day(2058, 1, 1), Day(2058, 1, 31)).empty());
  EXPECT_EQ(DaysWithItems(Day(2057, 9, 9), Day(2057, 9, 10)), std::vector<int>{Day(2057, 9, 9)});
}

TEST_F(RecurrenceTest, RemovingOneOccurrenceKeepsTheOthers) {
  const int id = AddEvent(At(2026, 3, 2, 10, 0), false, "FREQ=WEEKLY;BYDAY=MO;COUNT=4");
  const int single = AddEvent(At(2026, 3, 9, 8, 0), true, "");
  EXPECT_EQ(ExcludeOccurrence(2, id, Day(2026, 3, 9)), 0);
  EXPECT_EQ(ExcludeOccurrence(2, id, Day(2026, 3, 10)), -1);  // not one of its days
  EXPECT_EQ(ExcludeOccurrence(2, single, Day(2026, 3, 9)), -1);  // does not repeat
  const std::vector<Occurrence> list = OccurrencesBetween(Day(2026, 3, 1), Day(2026, 4, 30));
  EXPECT_EQ(Days(list), (std::vector<int>{Day(2026, 3, 2), Day(2026, 3, 9), Day(2026, 3, 16), Day(2026, 3, 23)}));
  EXPECT_EQ(list[1].id, single);
  EXPECT_FALSE(list[1].repeats);
  EXPECT_EQ(LoadRepeatRule(2, id).excludedDays, std::vector<int>{Day(2026, 3, 9)});
  EXPECT_EQ(LoadEvent(id).event_date, Day(2026, 3, 2));  // the row keeps the first occurrence
}

TEST_F(RecurrenceTest, DetachedOccurrenceBecomesARecordOfItsOwn) {
  const int id = AddEvent(At(2026, 3, 2, 10, 0), true, "FREQ=DAILY;COUNT=3");
  const int detached = DetachOccurrence(2, id, Day(2026, 3, 3));
  ASSERT_GT(detached, id);
  EventRecord moved = LoadEvent(detached);
  EXPECT_EQ(moved.event_date, Day(2026, 3, 3));
  EXPECT_EQ(moved.title, "Meeting");
  moved.event_time = 15.0 / 24;
  ASSERT_EQ(UpdateEvent(moved), 0);
  const std::vector<Occurrence> list = OccurrencesBetween(Day(2026, 3, 1), Day(2026, 3, 31));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].id, detached);
  EXPECT_FALSE(list[1].repeats);
  EXPECT_NEAR(list[1].time, 15.0 / 24, 1e-6);
  EXPECT_EQ(Stored("select series_id || ' ' || day from repeat_override where record_id = " + std::to_string(detached)),
            std::to_string(id) + " " + std::to_string(Day(2026, 3, 3)));
  EXPECT_LE(DetachOccurrence(2, id, Day(2026, 3, 3)), 0);  // that day is no longer in the series
}

TEST_F(RecurrenceTest, TickingARepeatingTaskMovesItOnUntilItsLastOccurrence) {
  const int id = AddTask(At(2026, 1, 30, 18, 0), "FREQ=DAILY;INTERVAL=2;COUNT=3");
  EXPECT_EQ(CompleteTaskOccurrence(id), 1);
  TaskRecord task = LoadTask(id);
  EXPECT_EQ(task.due_date, Day(2026, 2, 1));
  EXPECT_NEAR(task.due_time, 0.75, 1e-6);
  EXPECT_EQ(task.completed, 0);
  // COUNT counts what is left, so the series still ends on 3 February.
  EXPECT_EQ(LoadRepeatRule(0, id).rrule, "FREQ=DAILY;INTERVAL=2;COUNT=2");
  EXPECT_EQ(Days(OccurrencesBetween(Day(2026, 1, 1), Day(2026, 2, 28))),
            (std::vector<int>{Day(2026, 2, 1), Day(2026, 2, 3)}));
  EXPECT_EQ(CompleteTaskOccurrence(id), 1);
  EXPECT_EQ(LoadTask(id).due_date, Day(2026, 2, 3));
  EXPECT_EQ(CompleteTaskOccurrence(id), 2);
  EXPECT_EQ(LoadTask(id).completed, 1);
  EXPECT_TRUE(OccurrencesBetween(Day(2026, 1, 1), Day(2026, 2, 28)).empty());

  const int once = AddTask(At(2026, 1, 30, 18, 0), "");
  EXPECT_EQ(CompleteTaskOccurrence(once), 2);
  EXPECT_EQ(LoadTask(once).completed, 1);
  EXPECT_LE(CompleteTaskOccurrence(9999), 0);
}

TEST_F(RecurrenceTest, RemovingATasksCurrentOccurrenceMovesItOn) {
  const int id = AddTask(At(2026, 1, 31, 9, 0), "FREQ=MONTHLY;BYMONTHDAY=-1");
  EXPECT_EQ(ExcludeOccurrence(0, id, Day(2026, 1, 31)), 0);
  EXPECT_EQ(LoadTask(id).due_date, Day(2026, 2, 28));
  EXPECT_EQ(Days(OccurrencesBetween(Day(2026, 1, 1), Day(2026, 3, 31))),
            (std::vector<int>{Day(2026, 2, 28), Day(2026, 3, 31)}));
}

TEST_F(RecurrenceTest, OccurrencesKeepTheirWallClockTimeAcrossDaylightSavingAndZones) {
  AddEvent(At(2026, 3, 27, 9, 0), true, "FREQ=DAILY;UNTIL=20260330T090000");
  for (const char* zone : {"Europe/Berlin", "America/New_York", "UTC"}) {
    setenv("TZ", zone, 1);
    tzset();
    const std::vector<Occurrence> list = OccurrencesBetween(Day(2026, 3, 1), Day(2026, 4, 30));
    ASSERT_EQ(list.size(), 4u) << zone;
    for (const Occurrence& o : list) EXPECT_NEAR(o.time, 9.0 / 24, 1e-6) << zone;
  }
  unsetenv("TZ");
  tzset();
}

TEST_F(RecurrenceTest, EveryOccurrenceRemindsOnceAndMissedOnesAreCaughtUpOnce) {
  const int id = AddEvent(At(2026, 1, 5, 9, 0), true, "FREQ=DAILY", 15);
  Exec("update repeat_rule set reminded = 0");
  const double minute = 1.0 / 1440;

  std::vector<DueReminder> due = CollectDueReminders(At(2026, 1, 6, 8, 50));
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].id, id);
  EXPECT_EQ(due[0].kind, kReminderEvent);
  EXPECT_EQ(due[0].minutesLeft, 10);
  EXPECT_EQ(due[0].when, OleDate::ShortDateText(Day(2026, 1, 6)) + " 09:00 AM");
  EXPECT_TRUE(due[0].warningCleared);
  EXPECT_TRUE(CollectDueReminders(At(2026, 1, 6, 8, 51)).empty());
  EXPECT_TRUE(CollectDueReminders(At(2026, 1, 6, 8, 59) + 59 * minute / 60).empty());
  EXPECT_EQ(LoadEvent(id).warning, 15);  // kept for the next one
  EXPECT_EQ(CollectDueReminders(At(2026, 1, 7, 8, 45) + minute / 2).size(), 1u);

  // The program was not running from the 7th to the 10th: one catch-up, for the latest.
  std::vector<DueReminder> missed = CollectMissedReminders(At(2026, 1, 10, 12, 0));
  ASSERT_EQ(missed.size(), 1u);
  EXPECT_EQ(missed[0].when, OleDate::ShortDateText(Day(2026, 1, 10)) + " 09:00 AM");
  EXPECT_EQ(missed[0].minutesLeft, -180);
  EXPECT_TRUE(CollectMissedReminders(At(2026, 1, 10, 12, 0)).empty());
  EXPECT_EQ(CollectDueReminders(At(2026, 1, 11, 8, 50)).size(), 1u);
}

TEST_F(RecurrenceTest, ARuleMadeNowDoesNotCatchUpItsPast) {
  const int birthday = AddEvent(At(1990, 6, 1, 12, 0) + 30.0 / 86400, true, "FREQ=YEARLY", 60);
  const std::vector<DueReminder> missed = CollectMissedReminders(OleDate::Now());
  EXPECT_TRUE(missed.empty());
  EXPECT_EQ(LoadEvent(birthday).warning, 60);
}

TEST_F(RecurrenceTest, ARepeatingTaskRemindsOfItsOccurrencesAndNotOnceDone) {
  const int id = AddTask(At(2026, 2, 1, 18, 0), "FREQ=WEEKLY");
  TaskRecord task = LoadTask(id);
  task.warning = 60;
  ASSERT_EQ(UpdateTask(task), 0);
  Exec("update repeat_rule set reminded = 0");
  EXPECT_EQ(CollectDueReminders(At(2026, 2, 1, 17, 30)).size(), 1u);
  // Not ticked: next week's occurrence still reminds.
  const std::vector<DueReminder> due = CollectDueReminders(At(2026, 2, 8, 17, 1));
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].kind, kReminderTask);
  EXPECT_EQ(due[0].minutesLeft, 59);
  ASSERT_EQ(SetTaskCompleted(id, 1), 0);
  EXPECT_TRUE(CollectDueReminders(At(2026, 2, 15, 17, 30)).empty());
  EXPECT_TRUE(CollectMissedReminders(At(2026, 3, 1, 0, 0)).empty());
}

TEST_F(RecurrenceTest, TakingBackATickPutsTheSeriesWhereItWas) {
  const int id = AddTask(At(2026, 4, 1, 9, 0), "FREQ=DAILY;COUNT=5");
  const RecordSnapshot before = TakeSnapshot(0, id);
  ASSERT_EQ(CompleteTaskOccurrence(id), 1);
  ASSERT_EQ(LoadRepeatRule(0, id).rrule, "FREQ=DAILY;COUNT=4");
  ASSERT_EQ(RestoreSnapshots({before}), 0);
  EXPECT_EQ(LoadTask(id).due_date, Day(2026, 4, 1));
  EXPECT_EQ(LoadRepeatRule(0, id).rrule, "FREQ=DAILY;COUNT=5");
  // A deleted series comes back repeating, its detached occurrence linked again.
  const int event = AddEvent(At(2026, 4, 1, 9, 0), true, "FREQ=WEEKLY");
  const int detached = DetachOccurrence(2, event, Day(2026, 4, 8));
  const RecordSnapshot series = TakeSnapshot(2, event);
  ASSERT_EQ(DeleteEvent(event), 0);
  Exec("delete from repeat_rule where record_id = " + std::to_string(event));
  Exec("delete from repeat_override where series_id = " + std::to_string(event));
  ASSERT_EQ(RestoreSnapshots({series}), 0);
  EXPECT_EQ(LoadRepeatRule(2, event).excludedDays, std::vector<int>{Day(2026, 4, 8)});
  EXPECT_EQ(Stored("select count(*) from repeat_override where record_id = " + std::to_string(detached)), "1");
}

class RepeatExchangeTest : public RecurrenceTest {
 protected:
  std::string Write(const std::string& name, const std::string& body) {
    const std::string path = Folder() + "/" + name;
    FILE* file = std::fopen(path.c_str(), "w");
    std::fputs(("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Elsewhere//EN\r\n" + body + "END:VCALENDAR\r\n").c_str(), file);
    std::fclose(file);
    return path;
  }
  static std::string Read(const std::string& path) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "r");
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, n);
    std::fclose(file);
    return text;
  }
};

TEST_F(RepeatExchangeTest, ARuleThatCannotBeUsedSkipsItsItemWithWhy) {
  const std::string path = Write("bad.ics",
                                 "BEGIN:VEVENT\r\nUID:a\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260105T090000\r\n"
                                 "SUMMARY:Ends before it starts\r\nRRULE:FREQ=DAILY;UNTIL=20250101T000000Z\r\nEND:VEVENT\r\n"
                                 "BEGIN:VEVENT\r\nUID:b\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260105T090000\r\n"
                                 "SUMMARY:Fine\r\nRRULE:FREQ=DAILY;COUNT=2\r\nEND:VEVENT\r\n");
  Interop::Importer importer(path);
  importer.Preview();
  const Interop::KindCounts& events = importer.Counts()[2];
  EXPECT_EQ(events.added, 1);
  ASSERT_EQ(events.skipped, 1);
  EXPECT_EQ(events.why.front(),
            "line 4: the repeat rule FREQ=DAILY;UNTIL=20250101T000000Z cannot be used: the repeat ends before it starts");
  ASSERT_TRUE(importer.Apply());
  EXPECT_EQ(OccurrencesBetween(Day(2026, 1, 1), Day(2026, 1, 31)).size(), 2u);
}

TEST_F(RepeatExchangeTest, AnEndInUtcIsTheLocalMomentItNames) {
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  // 07:00 UTC on 30 March is 09:00 in Berlin, after the clocks went forward.
  Interop::Importer importer(Write("until.ics",
                                   "BEGIN:VEVENT\r\nUID:u\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260327T090000\r\n"
                                   "SUMMARY:Stand-up\r\nRRULE:FREQ=DAILY;UNTIL=20260330T070000Z\r\n"
                                   "EXDATE:20260328T080000Z\r\nRDATE;VALUE=DATE:20260402\r\nEND:VEVENT\r\n"));
  ASSERT_TRUE(importer.Apply());
  EXPECT_EQ(Days(OccurrencesBetween(Day(2026, 3, 1), Day(2026, 4, 30))),
            (std::vector<int>{Day(2026, 3, 27), Day(2026, 3, 29), Day(2026, 3, 30), Day(2026, 4, 2)}));
  unsetenv("TZ");
  tzset();
}

TEST_F(RepeatExchangeTest, ARuleMadeHereIsWrittenAndReadBackUnchanged) {
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  const int id = AddEvent(At(2026, 1, 5, 9, 30), true, "");
  ASSERT_EQ(SaveRepeatRule(2, id, RepeatRule{"FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20270331", {Day(2026, 1, 7)}, {Day(2026, 1, 10)}}), 0);
  const int detached = DetachOccurrence(2, id, Day(2026, 1, 12));
  EventRecord moved = LoadEvent(detached);
  moved.title = "Meeting, later";
  ASSERT_EQ(UpdateEvent(moved), 0);
  const std::string path = Folder() + "/out.ics";
  ASSERT_EQ(Interop::ExportFile(path, {2}), 2);
  const std::string text = Read(path);
  // One component per record, the changed occurrence under the series' UID.
  // The end of the last day, and every occurrence at the start's time, in UTC as the start is.
  EXPECT_NE(text.find("RRULE:FREQ=WEEKLY;UNTIL=20270331T215959Z;BYDAY=MO,WE\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("EXDATE:20260107T083000Z\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("RDATE:20260110T083000Z\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("EXDATE:20260112"), std::string::npos) << text;
  EXPECT_NE(text.find("RECURRENCE-ID:20260112T083000Z\r\n"), std::string::npos) << text;
  EXPECT_EQ(Stored("select count(*) from event"), "2");

  Interop::Importer again(path);
  ASSERT_TRUE(again.Apply());
  EXPECT_EQ(again.Counts()[2].added, 0);
  EXPECT_EQ(Stored("select count(*) from event"), "2");
  EXPECT_EQ(LoadRepeatRule(2, id).excludedDays, (std::vector<int>{Day(2026, 1, 7), Day(2026, 1, 12)}));
  const std::vector<Occurrence> january = OccurrencesBetween(Day(2026, 1, 5), Day(2026, 1, 14));
  EXPECT_EQ(Days(january), (std::vector<int>{Day(2026, 1, 5), Day(2026, 1, 10), Day(2026, 1, 12), Day(2026, 1, 14)}));
  EXPECT_EQ(january[2].id, detached);
  unsetenv("TZ");
  tzset();
}
