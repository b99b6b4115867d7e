// Search as each key is typed and undo of a delete, with 10,000 records of
// each kind, beside one raw SQLite LIKE query over the same columns and the
// delete itself.
#include <string>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "records/Categories.h"
#include "records/Tasks.h"
#include "records/UndoHistory.h"
#include "search/SearchIndex.h"

namespace {

constexpr int kRows = 10000;
constexpr int kShownRows = 20;  // what the window draws of the results

std::string SampleData() {
  const std::string numbers = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                              std::to_string(kRows) + ") ";
  // Names from a short list, so that a few letters find some hundreds of records.
  const std::string first = "(CASE i % 8 WHEN 0 THEN 'Anna' WHEN 1 THEN 'Seán' WHEN 2 THEN 'Zoë' WHEN 3 THEN 'Björn'"
                            " WHEN 4 THEN 'Paul' WHEN 5 THEN 'Marie' WHEN 6 THEN 'Olek' ELSE 'Chiara' END)";
  const std::string last = "(CASE i % 7 WHEN 0 THEN 'Lindqvist' WHEN 1 THEN 'O#$%g^Brien' WHEN 2 THEN 'Müller'"
                           " WHEN 3 THEN 'Nowak' WHEN 4 THEN 'Rossi' WHEN 5 THEN 'Dubois' ELSE 'Smith' END)";
  return numbers +
         "INSERT INTO task (category_id, priority_id, name, description, deadline, due_date, due_time, warning)"
         " SELECT 1 + i % 3, 1 + i % 3, 'Call ' || " + first + " || ' about order ' || i,"
         " 'Bring the papers for case ' || i || ' and ask ' || " + last + " || ' for the key', 1, 46000 + i % 400,"
         " (i % 96) / 96.0, 15 FROM n;" +
         numbers +
         "INSERT INTO contact (cat_id, fname, mname, lname, disp_info, address, email, phone, note)"
         " SELECT 4 + i % 3, " + first + ", '', " + last + ", 'Client ' || i, i || ' Harbour Street\nSpringfield',"
         " 'person' || i || '@example.org', '555 ' || (1000 + i), 'Met at the fair in ' || (1990 + i % 30) FROM n;" +
         numbers +
         "INSERT INTO event (event_date, using_time, event_time, title, note, warning)"
         " SELECT 46000 + i % 400, i % 2, (i % 48) / 48.0, 'Meeting with ' || " + first + " || ' ' || i,"
         " 'Room ' || (i % 30) || ', bring the slides', 0 FROM n;" +
         numbers +
         "INSERT INTO note (subject, content, last_updated, category_id)"
         " SELECT 'Note ' || i || ' on ' || " + last + ", 'Some thoughts, written down on day ' || i ||"
         " ' so that they are not lost; more of them follow later.', 46000 + i / 100.0, 7 + i % 2 FROM n";
}

BenchDatabase& Database() {
  static BenchDatabase database(SampleData());
  static AppBase app;
  return database;
}

const SearchIndex& Index() {
  static const SearchIndex index = [] {
    Database();
    SearchIndex loaded;
    loaded.Load();
    return loaded;
  }();
  return index;
}

// One LIKE query over the columns the search looks at, as SQLite runs it.
std::string LikeQuery(const std::string& word) {
  const std::string like = " like '%" + word + "%'";
  return "select id from task where name" + like + " or description" + like +
         " union all select id from contact where fname" + like + " or mname" + like + " or lname" + like +
         " or disp_info" + like + " or address" + like + " or email" + like + " or phone" + like + " or note" +
         like + " union all select id from event where title" + like + " or note" + like +
         " union all select id from note where subject" + like + " or content" + like;
}

// A key typed: the whole scan, and the rows the window then draws.
void Search(benchmark::State& state, const QString& query) {
  const SearchIndex& index = Index();
  for (auto _ : state) {
    const std::vector<SearchHit> hits = index.Find(query);
    if (hits.empty()) state.SkipWithError("nothing found");
    for (size_t row = 0; row < hits.size() && row < kShownRows; ++row) {
      benchmark::DoNotOptimize(SearchIndex::Snippet(hits[row]));
    }
  }
}

void Like(benchmark::State& state, const std::string& word) {
  const std::string sql = LikeQuery(word);
  for (auto _ : state) {
    if (RawQuery(Database().Path(), sql) == 0) state.SkipWithError("nothing found");
  }
}

void SearchThreeLetters_organizer(benchmark::State& state) { Search(state, QStringLiteral("ann")); }
void SearchThreeLetters_raw(benchmark::State& state) { Like(state, "ann"); }
void SearchOneLetter_organizer(benchmark::State& state) { Search(state, QStringLiteral("z")); }
void SearchOneLetter_raw(benchmark::State& state) { Like(state, "z"); }
void SearchTwoWords_organizer(benchmark::State& state) { Search(state, QStringLiteral("sean 12")); }
void SearchTwoWords_raw(benchmark::State& state) { Like(state, "12"); }

// Opening the search window reads and folds every record once.
void OpenSearch_organizer(benchmark::State& state) {
  Database();
  for (auto _ : state) {
    SearchIndex index;
    index.Load();
    benchmark::DoNotOptimize(index.Size());
  }
}

void OpenSearch_raw(benchmark::State& state) {
  for (auto _ : state) {
    RawQuery(Database().Path(), "select id, name, description from task");
    RawQuery(Database().Path(), "select id, fname, mname, lname, disp_info, address, email, phone, note from contact");
    RawQuery(Database().Path(), "select id, title, note from event");
    RawQuery(Database().Path(), "select id, subject, content from note");
  }
}

constexpr int kUndoneTask = 5000;

// Undo of a delete, the delete done as the task page does it between rounds.
void UndoDelete_organizer(benchmark::State& state) {
  Database();
  UndoHistory history;
  for (auto _ : state) {
    state.PauseTiming();
    const RecordSnapshot before = TakeSnapshot(kCategoryTasks, kUndoneTask);
    if (DeleteTask(kUndoneTask) != 0) state.SkipWithError("not deleted");
    history.Record({UndoStep::kDelete, {before}, {before.Absent()}});
    state.ResumeTiming();
    if (history.Undo() != 0) state.SkipWithError("not undone");
  }
}

// The delete itself, the task put back between rounds.
void UndoDelete_raw(benchmark::State& state) {
  Database();
  const RecordSnapshot stored = TakeSnapshot(kCategoryTasks, kUndoneTask);
  for (auto _ : state) {
    if (DeleteTask(kUndoneTask) != 0) state.SkipWithError("not deleted");
    state.PauseTiming();
    RestoreSnapshots({stored});
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(SearchThreeLetters_organizer)->Name("Search 'ann' 4x10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(SearchThreeLetters_raw)->Name("Search 'ann' 4x10000/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(SearchOneLetter_organizer)->Name("Search 'z' 4x10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(SearchOneLetter_raw)->Name("Search 'z' 4x10000/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(SearchTwoWords_organizer)->Name("Search 'sean 12' 4x10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(SearchTwoWords_raw)->Name("Search 'sean 12' 4x10000/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSearch_organizer)->Name("Open search 4x10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSearch_raw)->Name("Open search 4x10000/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(UndoDelete_organizer)->Name("Undo delete of a task/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(UndoDelete_raw)->Name("Undo delete of a task/raw")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
