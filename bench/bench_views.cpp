// What users wait for in the window: the start-up to the first shown main
// window, and the refresh of the tasks page with 10,000 tasks, each beside
// raw SQLite reading the same rows.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "db/DBL.h"
#include "db/StartupCheck.h"
#include "db/OleDate.h"
#include "ui/CColorListCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "views/DlgOrganizer.h"
#include "views/DlgTasks.h"

namespace {

constexpr int kTasks = kSampleTasks;
constexpr int kFillTimeoutMs = 30000;

// The rows the main window reads at start-up: the tasks and today's events
// (the other pages are read when they are first shown).
std::vector<std::string> StartupQueries() {
  const std::string today = std::to_string(OleDate::DayNumber(OleDate::Now()));
  return {
      "select task.id as id,task.name as name, category.id as catid, category_id, priority_id, category.name as "
      "catname, description, deadline,deadline_time,due_date, due_time, warning, updated_warning, completed from "
      "task, category where task.category_id = category.id  order by lower(task.name)",
      "select id, event_date,using_time, event_time, title, note, warning from event where event_date = " + today +
          " order by event_time",
  };
}

struct Sample {
  BenchDatabase database{SampleRecords()};
  AppBase app;
  Sample() {
    app.GetSettings().Load();
    app.GetSettings().SetInstallId(1);  // not a first start
    app.GetSettings().Save();
  }
};

Sample& TheSample() {
  static Sample sample;
  return sample;
}

// From a database that is only a file to the main window shown with its lists filled.
void Startup_organizer(benchmark::State& state) {
  UTSettings& settings = TheSample().app.GetSettings();
  for (auto _ : state) {
    // In the program's order: the damage check runs on while the window is built.
    DBL::StartupCheck check(DBL::GetDatabasePath());
    settings.Load();
    DlgOrganizer window;
    if (!check.Readable() || !check.Wait().empty()) state.SkipWithError("database refused");
    window.show();
    // The tasks page fills once the window has painted: until its rows are there.
    auto* tasks = static_cast<DlgTasks*>(window.GetTabCtrl()->GetView(0));
    QElapsedTimer waited;
    waited.start();
    while (tasks->GetList()->GetItemCount() != kTasks && waited.elapsed() < kFillTimeoutMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (tasks->GetList()->GetItemCount() != kTasks) state.SkipWithError("tasks missing");
  }
}

void Startup_raw(benchmark::State& state) {
  const std::string& path = TheSample().database.Path();
  const std::vector<std::string> queries = StartupQueries();
  for (auto _ : state) {
    int rows = 0;
    for (const std::string& query : queries) rows += RawQuery(path, query);
    if (rows < kTasks) state.SkipWithError("rows missing");
  }
}

// The tasks page reloading its list and painting it.
void TasksRefresh_organizer(benchmark::State& state) {
  TheSample();
  DlgTasks page;
  page.resize(650, 300);
  page.show();
  for (auto _ : state) {
    page.RefreshList();
    if (page.grab().isNull() || page.GetList()->GetItemCount() != kTasks) state.SkipWithError("not shown");
  }
}

void TasksRefresh_raw(benchmark::State& state) {
  const std::string& path = TheSample().database.Path();
  const std::string query = StartupQueries().front();
  for (auto _ : state) {
    if (RawQuery(path, query) != kTasks) state.SkipWithError("wrong row count");
  }
}

}  // namespace

BENCHMARK(Startup_organizer)->Name("Start-up to the shown main window/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(Startup_raw)->Name("Start-up to the shown main window/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(TasksRefresh_organizer)->Name("Tasks page refresh 10000/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(TasksRefresh_raw)->Name("Tasks page refresh 10000/raw")->Unit(benchmark::kMillisecond);

// The windows need a QApplication; without a display they paint offscreen.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TheSample();
  return RunBenchmarksWithRatios(argc, argv);
}
