#include "views/DlgTasks.h"

#include <QFontMetrics>
#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/AppBase.h"
#include "app/Message.h"
#include "db/OleDate.h"
#include "editors/DlgAddEditTask.h"
#include "records/Categories.h"
#include "records/Tasks.h"
#include "recurrence/Occurrences.h"
#include "recurrence/RepeatRules.h"
#include "ui/CColorListCtrl.h"
#include "ui/ListStyle.h"

namespace {

constexpr int kCompletedColor = 0x7D7DFF;  // light red
constexpr int kPriorityColumn = 1;

// The names by id, looked up once per refresh.
template <typename Record>
std::unordered_map<int, std::string_view> NamesById(const std::vector<Record>& records) {
  std::unordered_map<int, std::string_view> names;
  for (const Record& record : records) names.emplace(record.id, record.name);
  return names;
}

std::string_view NameOf(const std::unordered_map<int, std::string_view>& names, int id) {
  const auto found = names.find(id);
  return found == names.end() ? std::string_view() : found->second;
}

std::string DeadlineText(const TaskRecord& task) {
  if (!task.deadline) return {};
  std::string text = OleDate::ShortDateText(task.due_date) + " ";
  if (task.deadline_time) text += OleDate::TimeText(task.due_time);
  return text;
}

// Deadlines by day and time (-1 without one), each written once per refresh:
// many tasks share a deadline.
using DeadlineTexts = std::map<std::pair<double, double>, std::string>;

std::string_view SharedDeadlineText(const TaskRecord& task, DeadlineTexts& written) {
  if (!task.deadline) return {};
  const std::pair<double, double> key(task.due_date, task.deadline_time ? task.due_time : -1);
  auto found = written.find(key);
  if (found == written.end()) found = written.emplace(key, DeadlineText(task)).first;
  return found->second;
}

// Room for the longest deadline a row can show in the user's date and time
// format, and never less than the list was designed with.
int DeadlineWidth(const QFont& font) {
  TaskRecord widest;
  widest.deadline = 1;
  widest.deadline_time = 1;
  widest.due_date = OleDate::FromParts({2026, 12, 28, 0, 0, 0});
  widest.due_time = OleDate::TimeOfDay(OleDate::FromParts({2026, 12, 28, 22, 58, 0}));
  constexpr int kCellPadding = 16;
  return std::max(155, QFontMetrics(font).horizontalAdvance(QString::fromStdString(DeadlineText(widest))) + kCellPadding);
}

}  // namespace

DlgTasks::DlgTasks()
    : DlgRecordView(kTemplateId, kIdList, kCategoryTasks,
                    {"Tasks", "Are you sure you want to delete this Task?", "No Tasks were selected for deletion!",
                     "Please select a Task to edit!", "The Task could not be deleted."}) {
  connect(GetList(), &CColorListCtrl::checkChanged, this, &DlgTasks::OnCheckChanged);
}

bool DlgTasks::OnInitDialog() {
  InitDialogBase(kTemplateId);
  m_priorities = ListPriorities();
  m_categories = ListCategories(0);
  GetList()->SetCheckBoxes(true);
  SetUpList({{"Task", 260}, {"Priority", 70}, {"Category", 75}, {"Deadline", DeadlineWidth(GetTextFont())}});
  // Not filled here: the main window's tab set-up fills the page as soon as it
  // is current, and reading every task twice at start-up is time the user waits.
  return true;
}

void DlgTasks::RefreshList() {
  CColorListCtrl* list = GetList();
  const ListPlace place = SavePlace();
  list->setUpdatesEnabled(false);
  list->BeginReplaceItems();
  const std::unordered_map<int, std::string_view> priorities = NamesById(m_priorities);
  const std::unordered_map<int, std::string_view> categories = NamesById(m_categories);
  DeadlineTexts deadlines;
  int row = 0;
  // Each task becomes its row as it is read: the whole list is never held twice.
  ListTasks([&](const TaskRecord& task) {
    list->SetCellTextUtf8(row, 0, task.name);
    list->SetCellTextUtf8(row, kPriorityColumn, NameOf(priorities, task.priority_id));
    const int color = PriorityColor(task.priority_id);
    list->SetCellBkColor(row, kPriorityColumn, color, false);
    list->SetCellStyle(row, kPriorityColumn, kLsBkColor, false);
    list->SetCellSelectedBkColor(row, kPriorityColumn, color, false);
    list->SetCellSelectedStyle(row, kPriorityColumn, kLsBkColor, false);
    list->SetCellTextUtf8(row, 2, NameOf(categories, task.category_id));
    list->SetCellTextUtf8(row, 3, SharedDeadlineText(task, deadlines));
    // Sets the row's text colour and style, done or not.
    ApplyCompleted(row, task.completed);
    list->SetItemValue(row, task.id);
    ++row;
  });
  list->EndReplaceItems();
  RestorePlace(place);
  list->setUpdatesEnabled(true);
}

void DlgTasks::ApplyColors() {
  DlgRecordView::ApplyColors();
  RefreshList();
}

void DlgTasks::ApplyCompleted(int row, int completed) {
  CColorListCtrl* list = GetList();
  list->SetRowTextColor(row, completed ? kCompletedColor : GetApp().GetSettings().GetClrText(), false);
  list->SetRowStyle(row, completed ? kLsTextColor | kLsStrikeOut : kLsTextColor);
  m_applying = true;
  list->SetCheck(row, completed != 0);
  m_applying = false;
}

// Only a change the user made is stored; one that fails is undone on screen.
void DlgTasks::OnCheckChanged(int row, int oldState, int newState) {
  if (m_applying || oldState == newState) return;
  // The row ticked is the row the next key works on.
  GetList()->SelectRow(row);
  ApplyCompleted(row, newState);
  const int id = GetList()->GetItemValue(row);
  if (id < 0) return;
  RecordSnapshot before = TakeSnapshot(kCategoryTasks, id);
  // A repeating task ticked done moves on to its next occurrence, and is
  // completed for good only at its last.
  const bool repeats = newState && !LoadRepeatRule(kCategoryTasks, id).rrule.empty();
  if (repeats) {
    const int result = CompleteTaskOccurrence(id);
    if (result > 0) {
      RecordChange(UndoStep::kCompletion, std::move(before));
      // Unticked again with its next due date, once the list has finished with the tick.
      if (result == 1) QMetaObject::invokeMethod(this, [this] { RefreshList(); }, Qt::QueuedConnection);
      return;
    }
  }
  if (!repeats && SetTaskCompleted(id, newState) == 0) {
    RecordChange(UndoStep::kCompletion, std::move(before));
  } else {
    ApplyCompleted(row, oldState);
    ShowMessage(newState ? "The Task could not be marked as completed." : "The Task could not be marked as not completed.",
                kMessageOkNotice);
  }
}

// Edit also reaches the row under the pointer, for a double click that did not select.
int DlgTasks::RowToEdit() const {
  const int selected = DlgRecordView::RowToEdit();
  return selected >= 0 ? selected : GetList()->HitTestMessagePos();
}

// The editor is a modal child of the main window, which it is centred on.
bool DlgTasks::RunEditor(bool isNew, int id) {
  DlgAddEditTask editor(isNew, id, window());
  return editor.DoModal() == kIdOk;
}

void DlgTasks::OnRecordAdded() { m_categories = ListCategories(0); }

int DlgTasks::DeleteRecord(int id) { return DeleteTask(id); }
