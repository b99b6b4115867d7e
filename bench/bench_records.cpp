// Record lists and the reminder scan beside raw SQLite stepping the same queries.
#include <sqlite3.h>

#include <string>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "reminders/DueReminders.h"

namespace {

constexpr int kRows = 10000;
constexpr int kDuePerKind = 5;  // due in every scan; their warnings are put back between iterations
constexpr double kNow = 45000.5;

// 10,000 tasks and 10,000 events, most with a warning that is not yet due; the
// first few of each kind fall due at kNow.
std::string SampleData() {
  const std::string numbers = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                              std::to_string(kRows) + ") ";
  const std::string due = "i <= " + std::to_string(kDuePerKind);
  return numbers +
         "INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 1 + i % 3, 1 + i % 3, 'Task number ' || i || ' with a name of ordinary length',"
         " 'A description that says a little more about task ' || i, 1, i % 4 = 0,"
         " CASE WHEN " + due + " THEN 45000 ELSE 46000 + i % 400 END, 0.5 + (i % 96) / 1440.0,"
         " CASE WHEN " + due + " THEN 60 ELSE (i % 5) * 15 END, -1, i % 7 = 0 FROM n;" +
         numbers +
         "INSERT INTO event (event_date, using_time, event_time, title, note, warning)"
         " SELECT CASE WHEN " + due + " THEN 45000 ELSE 46000 + i % 400 END, " + due + " OR i % 3 > 0,"
         " CASE WHEN " + due + " OR i % 3 > 0 THEN 0.5 + (i % 48) / 1440.0 ELSE 0 END,"
         " 'Event number ' || i || ' with a title', 'A note about event ' || i,"
         " CASE WHEN " + due + " THEN 60 ELSE (i % 4) * 30 END FROM n";
}

const std::string kTaskList =
    "select task.id as id,task.name as name, category.id as catid, category_id, priority_id, category.name as "
    "catname, description, deadline,deadline_time,due_date, due_time, warning, updated_warning, completed from "
    "task, category where task.category_id = category.id  order by lower(task.name)";
const std::string kEventList =
    "select id, event_date,using_time, event_time, title, note, warning from event  order by event_time";
const std::string kRestoreWarnings = "update task set warning = 60 where id <= " + std::to_string(kDuePerKind) +
                                     ";update event set warning = 60 where id <= " + std::to_string(kDuePerKind);

BenchDatabase& Database() {
  static BenchDatabase database(SampleData());
  static AppBase app;  // task_sort 0: by name
  return database;
}

void Exec(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(Database().Path().c_str(), &db);
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

void ListTasks_organizer(benchmark::State& state) {
  Database();
  for (auto _ : state) {
    if (ListTasks().size() != kRows) state.SkipWithError("wrong row count");
  }
}

void ListTasks_raw(benchmark::State& state) {
  for (auto _ : state) {
    if (RawQuery(Database().Path(), kTaskList) != kRows) state.SkipWithError("wrong row count");
  }
}

void ListEvents_organizer(benchmark::State& state) {
  Database();
  for (auto _ : state) {
    if (ListEvents(-1).size() != kRows) state.SkipWithError("wrong row count");
  }
}

void ListEvents_raw(benchmark::State& state) {
  for (auto _ : state) {
    if (RawQuery(Database().Path(), kEventList) != kRows) state.SkipWithError("wrong row count");
  }
}

void Scan_organizer(benchmark::State& state) {
  Database();
  for (auto _ : state) {
    if (CollectDueReminders(kNow).size() != 2 * kDuePerKind) {
      state.SkipWithError("wrong number due");
      break;
    }
    state.PauseTiming();
    Exec(kRestoreWarnings);
    state.ResumeTiming();
  }
}

// Both queries stepped raw, and the same warnings cleared on one raw connection.
void Scan_raw(benchmark::State& state) {
  const std::string& path = Database().Path();
  for (auto _ : state) {
    if (RawQuery(path, kTaskList) + RawQuery(path, kEventList) != 2 * kRows) {
      state.SkipWithError("wrong row count");
      break;
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    for (int id = 1; id <= kDuePerKind; ++id) {
      for (const char* table : {"task", "event"}) {
        const std::string sql = "update " + std::string(table) + " set warning = 0 where id = " + std::to_string(id);
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
      }
    }
    sqlite3_close(db);
    state.PauseTiming();
    Exec(kRestoreWarnings);
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(ListTasks_organizer)->Name("ListTasks 10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(ListTasks_raw)->Name("ListTasks 10000/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(ListEvents_organizer)->Name("ListEvents(-1) 10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(ListEvents_raw)->Name("ListEvents(-1) 10000/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(Scan_organizer)->Name("CollectDueReminders 10000+10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(Scan_raw)->Name("CollectDueReminders 10000+10000/raw")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
