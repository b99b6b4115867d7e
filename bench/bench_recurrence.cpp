// Things that repeat: the dates page of one day, the month calendar's bold
// days and the reminder scan, each with 1,000 repeating items beside the same
// figure without them ("raw" in the lines: the organizer's own code on the
// data without repeats, so the ratio is what the repeats cost).
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "recurrence/Occurrences.h"
#include "reminders/DueReminders.h"

namespace {

constexpr int kSingle = 10000;
constexpr int kRepeating = 1000;
constexpr int kDay = 46200;  // a day inside the span of the single events
constexpr double kNow = 46200.5;

std::string Numbers(int count) {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(count) + ") ";
}

// 10,000 single events over 400 days (25 a day) and 10,000 tasks, as the
// other benchmarks have them; none due at kNow.
std::string SingleItems() {
  return Numbers(kSingle) +
         "INSERT INTO event (event_date, using_time, event_time, title, note, warning)"
         " SELECT 46000 + i % 400, i % 3 > 0, CASE WHEN i % 3 > 0 THEN 0.3 + (i % 48) / 96.0 ELSE 0 END,"
         " 'Event number ' || i || ' with a title', 'A note about event ' || i, (i % 4) * 30 FROM n;" +
         Numbers(kSingle) +
         "INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 1 + i % 3, 1 + i % 3, 'Task number ' || i, 'About task ' || i, 1, i % 4 = 0,"
         " 46000 + i % 400, 0.75, (i % 5) * 15, -1, i % 7 = 0 FROM n";
}

// Beside them, 1,000 repeating items (half events, half tasks) begun in the
// year before, with the rules people use: weekly on two days, every other
// day, a day of the month, the last Friday, yearly; most for ever, some to an
// end or a count; every one with a warning.
std::string RepeatingItems() {
  const std::string rule =
      "CASE i % 6 WHEN 0 THEN 'FREQ=WEEKLY;BYDAY=MO,WE' WHEN 1 THEN 'FREQ=DAILY;INTERVAL=2'"
      " WHEN 2 THEN 'FREQ=MONTHLY;BYMONTHDAY=' || (1 + i % 28) WHEN 3 THEN 'FREQ=MONTHLY;BYDAY=-1FR'"
      " WHEN 4 THEN 'FREQ=YEARLY' ELSE 'FREQ=WEEKLY;INTERVAL=2;COUNT=200' END";
  const int half = kRepeating / 2;
  return SingleItems() + ";" + Numbers(half) +
         "INSERT INTO event (id, event_date, using_time, event_time, title, note, warning)"
         " SELECT 100000 + i, 45800 + i % 365, 1, 0.25 + (i % 40) / 96.0, 'Repeating event ' || i, '', 15 + i % 4 * 15"
         " FROM n;" +
         Numbers(half) +
         "INSERT INTO repeat_rule (kind, record_id, rrule, reminded) SELECT 2, 100000 + i, " + rule + ", 0 FROM n;" +
         Numbers(half) +
         "INSERT INTO task (id, category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 100000 + i, 1, 2, 'Repeating task ' || i, '', 1, 1, 45800 + i % 365, 0.25 + (i % 40) / 96.0,"
         " 15 + i % 4 * 15, -1, 0 FROM n;" +
         Numbers(half) +
         "INSERT INTO repeat_rule (kind, record_id, rrule, reminded) SELECT 0, 100000 + i, " + rule + ", 0 FROM n";
}

BenchDatabase& Plain() {
  static BenchDatabase database(SingleItems());
  return database;
}

BenchDatabase& WithRepeats() {
  static BenchDatabase database(RepeatingItems());
  return database;
}

void Use(BenchDatabase& database) {
  static AppBase app;
  ::setenv("XDG_DATA_HOME", database.DataHome().c_str(), 1);
}

void DayPage(benchmark::State& state, BenchDatabase& database) {
  Use(database);
  for (auto _ : state) benchmark::DoNotOptimize(OccurrencesBetween(kDay, kDay));
}

void MonthDays(benchmark::State& state, BenchDatabase& database) {
  Use(database);
  // A month back and forth, as a person leafs through the calendar.
  int month = 0;
  for (auto _ : state) {
    const int first = kDay + (month++ % 2) * 31;
    benchmark::DoNotOptimize(DaysWithItems(first, first + 30));
  }
}

void Scan(benchmark::State& state, BenchDatabase& database) {
  Use(database);
  for (auto _ : state) benchmark::DoNotOptimize(CollectDueReminders(kNow));
}

}  // namespace

BENCHMARK_CAPTURE(DayPage, repeats, WithRepeats())->Name("Dates page of a day 10000+1000 repeating/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DayPage, plain, Plain())->Name("Dates page of a day 10000+1000 repeating/raw")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MonthDays, repeats, WithRepeats())->Name("Bold days of a month 10000+1000 repeating/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MonthDays, plain, Plain())->Name("Bold days of a month 10000+1000 repeating/raw")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scan, repeats, WithRepeats())->Name("Reminder scan 20000+1000 repeating/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scan, plain, Plain())->Name("Reminder scan 20000+1000 repeating/raw")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
