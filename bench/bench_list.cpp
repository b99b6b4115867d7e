// The tasks page's list filled with 10,000 tasks and painted once, beside
// reading the same rows with raw SQLite.
#include <QApplication>
#include <QPixmap>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "db/OleDate.h"
#include "records/Categories.h"
#include "records/Priorities.h"
#include "records/Tasks.h"
#include "ui/CColorListCtrl.h"
#include "ui/UiFonts.h"

namespace {

constexpr int kRows = 10000;
constexpr int kCompletedColor = 0x7D7DFF;  // light red

// Names of several lengths; half the tasks have a date, a quarter also a time,
// one in seven is completed.
std::string SampleTasks() {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kRows) +
         ") INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 1 + i % 3, 1 + i % 4, substr('Call, write, book, renew or order item ', 1 + i % 17) || i,"
         " 'Notes on task ' || i, i % 2, i % 4 = 0, 46000 + i % 365, (i % 96) / 96.0, 0, -1, i % 7 = 0 FROM n";
}

// What the tasks list reads in its default order.
const std::string kTaskList =
    "select task.id as id,task.name as name, category.id as catid, category_id, priority_id, category.name as "
    "catname, description, deadline,deadline_time,due_date, due_time, warning, updated_warning, completed from "
    "task, category where task.category_id = category.id  order by lower(task.name)";

// The sample database and an application object with the settings read from it.
struct Sample {
  BenchDatabase database{SampleTasks()};
  AppBase app;
  Sample() { app.GetSettings().Load(); }
};

Sample& TheSample() {
  static Sample sample;
  return sample;
}

int PriorityColor(int priorityId) {
  const UTSettings& settings = TheSample().app.GetSettings();
  if (priorityId == 1) return settings.GetClrHiPrior();
  if (priorityId == 2) return settings.GetClrMedPrior();
  return settings.GetClrLoPrior();
}

template <typename Record>
QString NameById(const std::vector<Record>& records, int id) {
  for (const Record& record : records) {
    if (record.id == id) return QString::fromStdString(record.name);
  }
  return {};
}

// One task as its row shows it.
struct TaskRow {
  QString name, priority, category, deadline;
  int priorityColor;
  bool completed;
  int id;
};

// The tasks read through the records layer, with the texts their rows show.
std::vector<TaskRow> ReadRows(const std::vector<PriorityRecord>& priorities,
                              const std::vector<CategoryRecord>& categories) {
  std::vector<TaskRow> rows;
  for (const TaskRecord& task : ListTasks()) {
    QString deadline;
    if (task.deadline) {
      const std::string time = task.deadline_time ? OleDate::TimeText(task.due_time) : "";
      deadline = QString::fromStdString(OleDate::ShortDateText(task.due_date) + " " + time);
    }
    rows.push_back({QString::fromStdString(task.name), NameById(priorities, task.priority_id),
                    NameById(categories, task.category_id), deadline, PriorityColor(task.priority_id),
                    task.completed != 0, task.id});
  }
  return rows;
}

// The tasks page's list, shown.
class TaskList {
 public:
  TaskList() : m_textColor(TheSample().app.GetSettings().GetClrText()) {
    m_list.setFont(MakeCellFont(QStringLiteral("Times New Roman"), 18, 700));
    m_list.SetGridLines(true);
    m_list.SetCheckBoxes(true);
    m_list.SetSelectedTextColor(m_textColor);
    const std::pair<const char*, int> columns[] = {
        {"Task", 260}, {"Priority", 70}, {"Category", 75}, {"Deadline", 155}};
    for (int c = 0; c < 4; ++c) {
      m_list.InsertColumn(QString::fromUtf8(columns[c].first), c);
      m_list.setColumnWidth(c, columns[c].second);
    }
    m_list.resize(520, 260);
    m_list.show();
  }

  // Fills the list as the tasks page does and paints it; false when a row is missing.
  bool FillAndPaint(const std::vector<TaskRow>& rows) {
    m_list.setUpdatesEnabled(false);
    m_list.DeleteAllItems();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
      const TaskRow& task = rows[row];
      m_list.SetCellText(row, 0, task.name);
      m_list.SetCellText(row, 1, task.priority);
      m_list.SetCellBkColor(row, 1, task.priorityColor);
      m_list.SetCellStyle(row, 1, kLsBkColor);
      m_list.SetCellSelectedBkColor(row, 1, task.priorityColor);
      m_list.SetCellSelectedStyle(row, 1, kLsBkColor);
      m_list.SetCellText(row, 2, task.category);
      m_list.SetCellText(row, 3, task.deadline);
      m_list.SetRowStyle(row, task.completed ? kLsTextColor | kLsStrikeOut : kLsTextColor);
      m_list.SetRowTextColor(row, task.completed ? kCompletedColor : m_textColor);
      m_list.SetCheck(row, task.completed);
      m_list.SetItemValue(row, task.id);
    }
    m_list.SelectRow(0);
    m_list.setUpdatesEnabled(true);
    return !m_list.grab().isNull() && m_list.GetItemCount() == kRows;
  }

 private:
  CColorListCtrl m_list;
  int m_textColor;
};

// The list's own work: the rows are read before the clock runs.
void FillAndPaint_organizer(benchmark::State& state) {
  TaskList list;
  const std::vector<TaskRow> rows = ReadRows(ListPriorities(), ListCategories(kCategoryTasks));
  for (auto _ : state) {
    if (!list.FillAndPaint(rows)) state.SkipWithError("wrong row count");
  }
}

// The whole refresh: reading the tasks, making their texts, filling and painting.
void ReadFillAndPaint_organizer(benchmark::State& state) {
  TaskList list;
  const std::vector<PriorityRecord> priorities = ListPriorities();
  const std::vector<CategoryRecord> categories = ListCategories(kCategoryTasks);
  for (auto _ : state) {
    if (!list.FillAndPaint(ReadRows(priorities, categories))) state.SkipWithError("wrong row count");
  }
}

void ReadRaw(benchmark::State& state) {
  const std::string& path = TheSample().database.Path();
  for (auto _ : state) {
    if (RawQuery(path, kTaskList) != kRows) state.SkipWithError("wrong row count");
  }
}

}  // namespace

BENCHMARK(FillAndPaint_organizer)
    ->Name("CColorListCtrl fill and paint 10000 tasks/organizer")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReadRaw)->Name("CColorListCtrl fill and paint 10000 tasks/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFillAndPaint_organizer)
    ->Name("Tasks list read, fill and paint 10000/organizer")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReadRaw)->Name("Tasks list read, fill and paint 10000/raw")->Unit(benchmark::kMillisecond);

// The list needs a QApplication; without a display it paints offscreen.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TheSample();  // every list reads its colours from the settings when it is made
  return RunBenchmarksWithRatios(argc, argv);
}
