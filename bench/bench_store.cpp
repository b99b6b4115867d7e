// The data store's query beside the same query stepped with raw SQLite.
#include "BenchSupport.h"
#include "db/DBL.h"

namespace {

constexpr int kRows = 10000;

// 10,000 tasks with texts long enough to be realistic.
std::string SampleTasks() {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kRows) +
         ") INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 1 + i % 3, 1 + i % 3, 'Task number ' || i || ' with a name of ordinary length',"
         " 'A description that says a little more about task ' || i, i % 2, i % 4 = 0, 46000 + i % 400,"
         " (i % 96) / 96.0, (i % 5) * 15, -1, i % 7 = 0 FROM n";
}

// Fourteen columns: the whole task row with its category and priority names.
const std::string kQuery =
    "select task.id, category_id, priority_id, task.name, description, deadline, deadline_time, due_date,"
    " due_time, warning, updated_warning, completed, category.name as cat_name, priority.name as pri_name"
    " from task, category, priority where task.category_id = category.id and task.priority_id = priority.id";

BenchDatabase& Database() {
  static BenchDatabase database(SampleTasks());
  return database;
}

void ExecuteQuery_organizer(benchmark::State& state) {
  Database();
  for (auto _ : state) {
    DBL::MemResultSet rs = DBL::ExecuteQuery(kQuery);
    int rows = 0;
    while (rs.Next()) ++rows;
    if (rows != kRows) state.SkipWithError("wrong row count");
  }
}

void ExecuteQuery_raw(benchmark::State& state) {
  const std::string& path = Database().Path();
  for (auto _ : state) {
    if (RawQuery(path, kQuery) != kRows) state.SkipWithError("wrong row count");
  }
}

}  // namespace

BENCHMARK(ExecuteQuery_organizer)->Name("ExecuteQuery 10000x14/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(ExecuteQuery_raw)->Name("ExecuteQuery 10000x14/raw")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
