// Opening the task editor on an existing task, to its first painted frame, in
// a database of 200 task categories and 10,000 tasks: beside a plain dialog of
// the same standard widgets filled with the same rows read by raw SQLite.
// Opening the note editor on a note of a megabyte, to its first painted frame
// and its text read back as a save reads it: beside a plain QTextEdit given
// the same row by raw SQLite.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextEdit>
#include <QTimeEdit>
#include <vector>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "db/DBL.h"
#include "editors/DlgAddEditNote.h"
#include "editors/DlgAddEditTask.h"
#include "records/Notes.h"
#include "ui/CMyRichEditCtrl.h"
#include "ui/CAutoCombo.h"

namespace {

constexpr int kTasks = 10000;
constexpr int kCategories = 200;
constexpr int kEditedTask = 5000;

std::string Numbers(int count) {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(count) + ") ";
}

std::string SampleRecords() {
  return Numbers(kCategories - 3) +
         "INSERT INTO category (type_id, name, comment) SELECT 0, 'Category ' || i, 'what goes under ' || i FROM n;" +
         Numbers(kTasks) +
         "INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 1 + i % 3, 1 + i % 3, 'Task ' || i, 'Notes on task ' || i || char(10) || 'and a second line', 1, 1,"
         " 46000 + i % 365, (i % 96) / 96.0, 15, -1, 0 FROM n";
}

const char kPriorities[] = "select id, name, comment, color from priority";
const char kTaskCategories[] = "select id, type_id, name,comment from category where type_id = 0";
const std::string kLoadTask =
    "select id, category_id, priority_id, name, description,deadline,deadline_time, due_date, due_time, warning, "
    "updated_warning, completed from task where id = " + std::to_string(kEditedTask);

using Rows = std::vector<std::vector<QString>>;

Rows RawRows(const std::string& dbFile, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(dbFile.c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
  Rows rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::vector<QString> row;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      row.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

struct Sample {
  BenchDatabase database{SampleRecords()};
  AppBase app;
  Sample() { app.GetSettings().Load(); }
};

Sample& TheSample() {
  static Sample sample;
  return sample;
}

void OpenEditor_organizer(benchmark::State& state) {
  TheSample();
  for (auto _ : state) {
    DlgAddEditTask editor(false, kEditedTask);
    editor.show();
    const QPixmap frame = editor.grab();
    auto* categories = qobject_cast<CAutoCombo*>(editor.GetDlgItem(DlgAddEditTask::kIdCategory));
    if (frame.isNull() || categories->count() != kCategories) state.SkipWithError("not shown");
  }
}

// The same widgets, rows and values, without the program's classes.
void OpenEditor_raw(benchmark::State& state) {
  const std::string& path = TheSample().database.Path();
  for (auto _ : state) {
    QDialog dialog;
    dialog.resize(560, 490);
    auto* title = new QLabel(QStringLiteral("Edit Task"), &dialog);
    title->setGeometry(66, 20, 470, 36);
    // Where the editor's template puts its controls.
    const auto place = [](QWidget* widget, int x, int y, int cx, int cy) { widget->setGeometry(x, y, cx, cy); };
    place(new QLabel(QStringLiteral("Task:"), &dialog), 20, 80, 116, 24);
    place(new QLabel(QStringLiteral("Priority:"), &dialog), 20, 117, 116, 24);
    place(new QLabel(QStringLiteral("Category:"), &dialog), 20, 154, 116, 24);
    place(new QLabel(QStringLiteral("Reminder:"), &dialog), 24, 398, 200, 24);
    auto* name = new QLineEdit(&dialog);
    place(name, 148, 75, 388, 26);
    // The program's pick boxes are editable combo boxes (completing by their own
    // rule, not a completer's), and its buttons carry icons.
    auto* priority = new QComboBox(&dialog);
    priority->setEditable(true);
    priority->setCompleter(nullptr);
    place(priority, 148, 113, 180, 24);
    auto* category = new QComboBox(&dialog);
    category->setEditable(true);
    category->setCompleter(nullptr);
    place(category, 148, 150, 240, 24);
    place(new QPushButton(QStringLiteral("Categories..."), &dialog), 396, 146, 140, 32);
    auto* description = new QTextEdit(&dialog);
    place(description, 24, 191, 512, 120);
    auto* hasDate = new QCheckBox(QStringLiteral("Completion Date:"), &dialog);
    place(hasDate, 24, 326, 200, 22);
    auto* date = new QDateEdit(&dialog);
    place(date, 236, 324, 160, 26);
    auto* hasTime = new QCheckBox(QStringLiteral("Completion Time:"), &dialog);
    place(hasTime, 24, 360, 200, 22);
    auto* time = new QTimeEdit(&dialog);
    place(time, 236, 358, 160, 26);
    auto* reminder = new QComboBox(&dialog);
    reminder->setEditable(true);
    reminder->setCompleter(nullptr);
    place(reminder, 236, 394, 160, 24);
    place(new QPushButton(QIcon(QStringLiteral(":/icons/151.svg")), QStringLiteral("Save"), &dialog), 144, 442, 126, 32);
    place(new QPushButton(QIcon(QStringLiteral(":/icons/161.svg")), QStringLiteral("Cancel"), &dialog), 280, 442, 138,
          32);
    auto* emblem = new QLabel(&dialog);
    emblem->setPixmap(QIcon(QStringLiteral(":/icons/151.svg")).pixmap(32));
    place(emblem, 12, 12, 32, 32);
    for (const auto& row : RawRows(path, kPriorities)) priority->addItem(row[1], row[0].toInt());
    for (const auto& row : RawRows(path, kTaskCategories)) category->addItem(row[2], row[0].toInt());
    for (const char* label : {"No Warning", "5 min", "10 min", "15 min", "30 min", "1 hr", "2 hr", "3 hr", "4 hr",
                              "5 hr", "6 hr", "7 hr", "8 hr", "1 day", "2 day", "3 day", "4 day", "5 day"}) {
      reminder->addItem(QString::fromUtf8(label));
    }
    const Rows task = RawRows(path, kLoadTask);
    if (task.empty()) state.SkipWithError("task missing");
    name->setText(task[0][3]);
    description->setPlainText(task[0][4]);
    hasDate->setChecked(task[0][5] == "1");
    hasTime->setChecked(task[0][6] == "1");
    date->setDate(QDate(1899, 12, 30).addDays(task[0][7].toInt()));
    time->setTime(QTime(0, 0).addSecs(static_cast<int>(task[0][8].toDouble() * 86400)));
    priority->setCurrentIndex(priority->findData(task[0][2].toInt()));
    category->setCurrentIndex(category->findData(task[0][1].toInt()));
    reminder->setCurrentIndex(3);
    dialog.show();
    const QPixmap frame = dialog.grab();
    if (frame.isNull() || category->count() != kCategories) state.SkipWithError("not shown");
  }
}

// A megabyte of lines of every kind: plain, quoted, non-ASCII, right to left, empty.
const NoteRecord& BigNote() {
  static const NoteRecord stored = [] {
    TheSample();
    NoteRecord note;
    note.subject = "A megabyte";
    note.category_id = 1;
    const std::string lines[] = {"plain line, 'quoted' and \"double\"\r\n",
                                 "emoji \xF0\x9F\x8E\x89 and CJK \xE6\xBC\xA2\xE5\xAD\x97 and RTL "
                                 "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7\r\n",
                                 "\r\n"};
    for (int i = 0; note.content.size() < 1024 * 1024; ++i) note.content += lines[i % 3];
    note.id = InsertNote(note);
    return note;
  }();
  return stored;
}

void OpenBigNote_organizer(benchmark::State& state) {
  const QString text = QString::fromStdString(BigNote().content);
  for (auto _ : state) {
    DlgAddEditNote editor(false, BigNote().id);
    editor.show();
    const QPixmap frame = editor.grab();
    const auto* content = qobject_cast<CMyRichEditCtrl*>(editor.GetDlgItem(DlgAddEditNote::kIdContent));
    if (frame.isNull() || content->StoredText() != text) state.SkipWithError("not shown");
  }
}

void OpenBigNote_raw(benchmark::State& state) {
  const std::string sql = "select subject, content from note where id = " + std::to_string(BigNote().id);
  const std::string& path = TheSample().database.Path();
  for (auto _ : state) {
    const Rows note = RawRows(path, sql);
    if (note.empty()) state.SkipWithError("note missing");
    QTextEdit edit;
    edit.resize(512, 300);
    edit.setPlainText(note[0][1]);
    edit.show();
    const QPixmap frame = edit.grab();
    if (frame.isNull() || edit.document()->isEmpty()) state.SkipWithError("not shown");
  }
}

}  // namespace

BENCHMARK(OpenEditor_organizer)->Name("Task editor open for edit/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(OpenEditor_raw)->Name("Task editor open for edit/raw")->Unit(benchmark::kMillisecond);
BENCHMARK(OpenBigNote_organizer)->Name("Note editor open with a megabyte/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(OpenBigNote_raw)->Name("Note editor open with a megabyte/raw")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TheSample();
  return RunBenchmarksWithRatios(argc, argv);
}
