#include "views/DlgImpDates.h"

#include <QHeaderView>
#include <algorithm>
#include <unordered_map>

#include "app/AppBase.h"
#include "app/Message.h"
#include "db/OleDate.h"
#include "editors/DlgAddEditAppt.h"
#include "editors/DlgAddEditTask.h"
#include "editors/DlgOccurrenceQuestion.h"
#include "records/Categories.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "recurrence/RepeatRules.h"
#include "recurrence/RuleWords.h"
#include "ui/CButtonST.h"
#include "ui/CColorListCtrl.h"
#include "ui/CMyMonthCalCtrl.h"
#include "ui/ListStyle.h"

namespace {
constexpr int kTickedIcon = 156;
constexpr int kUntickedIcon = 158;
constexpr int kDateColumn = 2;
constexpr int kRepeatColumn = 3;

const DlgRecordView::Texts kTaskTexts = {"Tasks", "Are you sure you want to delete this Task?",
                                         "No Tasks were selected for deletion!", "Please select a Task to edit!",
                                         "The Task could not be deleted."};

QString TimeCell(bool hasTime, double time) {
  return QString::fromStdString(hasTime ? OleDate::TimeText(time) : "All Day");
}

QString Titled(const std::string& title, bool repeats) {
  return QString::fromStdString(repeats ? title + " " + DlgImpDates::kRepeatMark : title);
}
}  // namespace

DlgImpDates::DlgImpDates()
    : DlgRecordView(kTemplateId, kIdList, kCategoryEvents,
                    {"Events", "Are you sure you want to delete this Event?", "No Events selected for deletion!",
                     "Please select an Event to edit!", "The Event could not be deleted."}),
      m_calendar(qobject_cast<CMyMonthCalCtrl*>(GetDlgItem(kIdCalendar))),
      m_allEvents(qobject_cast<CButtonST*>(GetDlgItem(kIdAllEvents))) {
  connect(m_calendar, &QCalendarWidget::selectionChanged, this, &DlgImpDates::RefreshList);
  connect(m_calendar, &QCalendarWidget::currentPageChanged, this, &DlgImpDates::MarkDays);
  connect(m_allEvents, &QAbstractButton::clicked, this, &DlgImpDates::OnAllEventsClicked);
}

bool DlgImpDates::OnInitDialog() {
  InitDialogBase(kTemplateId);
  m_calendar->ApplyColors();
  SetUpList({{"Time", 75}, {"Event", 270}, {"Date", 85}, {"Repeat", 160}});
  // Read first, though added last: the day's columns keep their places.
  GetList()->header()->moveSection(kDateColumn, 0);
  ShowColumn(kDateColumn, false);  // one day's events need no date
  ShowColumn(kRepeatColumn, false);
  m_allEvents->LoadButtonIcons(kTickedIcon, kUntickedIcon);
  m_allEvents->MakeTransparent();
  m_allEvents->SetCaptionFont(&GetTextFont());
  m_allEvents->FitToCaption();
  m_allEvents->SetCheckState(false);
  RefreshList();
  return true;
}

void DlgImpDates::ApplyColors() {
  DlgRecordView::ApplyColors();
  m_calendar->ApplyColors();
  m_allEvents->ResetColors();
  RefreshList();  // task rows keep the priority colours they were filled with
}

double DlgImpDates::SelectedDay() const {
  const QDate day = m_calendar->selectedDate();
  return OleDate::FromParts({day.year(), day.month(), day.day()});
}

void DlgImpDates::RefreshList() {
  if (m_allEvents->GetCheckState()) {
    ShowAllEvents();
  } else {
    ShowDay();
  }
  MarkDays();
}

// Events first, then the tasks due; each part as the store orders it, by time.
void DlgImpDates::ShowDay() {
  const int day = OleDate::DayNumber(SelectedDay());
  std::vector<Occurrence> occurrences = OccurrencesBetween(day, day);
  std::stable_partition(occurrences.begin(), occurrences.end(),
                        [](const Occurrence& o) { return o.kind == kCategoryEvents; });
  // Every record the day shows, in one read per kind: a day may hold hundreds of occurrences.
  std::vector<int> eventIds, taskIds;
  for (const Occurrence& o : occurrences) (o.kind == kCategoryEvents ? eventIds : taskIds).push_back(o.id);
  std::unordered_map<int, std::string> titles[2];
  std::unordered_map<int, int> priorities;
  for (const EventRecord& event : ListEventsById(eventIds)) titles[0].emplace(event.id, event.title);
  for (const TaskRecord& task : ListTasksById(taskIds)) {
    titles[1].emplace(task.id, task.name);
    priorities.emplace(task.id, task.priority_id);
  }
  const int text = GetApp().GetSettings().GetClrText();

  CColorListCtrl* list = GetList();
  const ListPlace place = SavePlace();
  list->setUpdatesEnabled(false);
  list->DeleteAllItems();
  m_rows.clear();
  for (const Occurrence& occurrence : occurrences) {
    const int row = static_cast<int>(m_rows.size());
    const bool isTask = occurrence.kind == kCategoryTasks;
    const auto title = titles[isTask].find(occurrence.id);
    if (title == titles[isTask].end()) continue;  // gone since the occurrences were read
    // The first cell makes the row.
    list->SetCellText(row, 0, TimeCell(occurrence.hasTime, occurrence.time));
    list->SetCellText(row, 1, Titled(title->second, occurrence.repeats));
    list->SetCellText(row, kDateColumn, QString::fromStdString(OleDate::ShortDateText(occurrence.day)));
    if (isTask) {
      list->SetRowBkColor(row, PriorityColor(priorities[occurrence.id]), false);
      list->SetRowTextColor(row, text, false);
      list->SetRowStyle(row, kLsBkColor | kLsTextColor, false);
    }
    list->SetItemValue(row, occurrence.id);
    m_rows.push_back(occurrence);
  }
  RestorePlace(place);
  list->setUpdatesEnabled(true);
}

void DlgImpDates::ShowAllEvents() {
  std::vector<EventRecord> events = ListEvents(-1);
  // The store gives them by time of day; days first, each day still by time.
  std::stable_sort(events.begin(), events.end(),
                   [](const EventRecord& a, const EventRecord& b) { return a.event_date < b.event_date; });
  m_rows.clear();
  for (const EventRecord& event : events) {
    Occurrence row;
    row.id = event.id;
    row.day = OleDate::DayNumber(event.event_date);
    m_rows.push_back(row);
  }
  const std::unordered_map<int, RepeatRule> rules = LoadRepeatRules(kCategoryEvents);
  ShowRecords(events, [&rules](const EventRecord& event) {
    const auto rule = rules.find(event.id);
    const bool repeats = rule != rules.end() && !rule->second.rrule.empty();
    return QStringList{TimeCell(event.using_time, event.event_time), Titled(event.title, repeats),
                       QString::fromStdString(OleDate::ShortDateText(event.event_date)),
                       repeats ? QString::fromStdString(DescribeRepeatRule(rule->second, OleDate::DayNumber(event.event_date)))
                               : QString()};
  });
}

void DlgImpDates::MarkDays() {
  const QDate first(m_calendar->yearShown(), m_calendar->monthShown(), 1);
  const int firstDay = OleDate::DayNumber(OleDate::FromParts({first.year(), first.month(), 1}));
  std::vector<QDate> days;
  for (int day : DaysWithItems(firstDay, firstDay + first.daysInMonth() - 1)) {
    days.push_back(first.addDays(day - firstDay));
  }
  m_calendar->SetDaysWithItems(days);
}

Occurrence DlgImpDates::RowOccurrence(int row) const {
  return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[row] : Occurrence{};
}

int DlgImpDates::RowKind(int row) const { return RowOccurrence(row).kind; }

const DlgRecordView::Texts& DlgImpDates::RowTexts(int row) const {
  return RowKind(row) == kCategoryTasks ? kTaskTexts : DlgRecordView::RowTexts(row);
}

bool DlgImpDates::SelectRecord(int id) {
  const EventRecord event = LoadEvent(id);
  if (event.id < 0) return false;
  if (!m_allEvents->GetCheckState()) {
    const OleDate::Parts day = OleDate::ToParts(event.event_date);
    // Choosing another day refreshes the list through the calendar's signal.
    m_calendar->setSelectedDate(QDate(day.year, day.month, day.day));
  }
  for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
    if (m_rows[row].kind == kCategoryEvents && m_rows[row].id == id) {
      GetList()->SelectRow(row);
      return true;
    }
  }
  return false;
}

void DlgImpDates::OnAllEventsClicked() {
  m_calendar->setEnabled(!m_allEvents->GetCheckState());
  ShowColumn(kDateColumn, m_allEvents->GetCheckState());
  ShowColumn(kRepeatColumn, m_allEvents->GetCheckState());
  RefreshList();
}

// A new event goes on the day chosen in the calendar, also while it is greyed
// by "View All Events"; an edit stays on the event's own day, and an edit of
// one occurrence of a series knows which.
bool DlgImpDates::RunEditor(bool isNew, int id) {
  const Occurrence occurrence = isNew ? Occurrence{} : RowOccurrence(RowToEdit());
  if (occurrence.kind == kCategoryTasks) {
    DlgAddEditTask editor(false, id, window());
    if (occurrence.repeats) editor.SetOccurrenceDay(occurrence.day);
    const bool saved = editor.DoModal() == kIdOk;
    m_detachedByEdit = editor.DetachedRecord();
    return saved;
  }
  const double day = isNew ? SelectedDay() : (occurrence.repeats ? occurrence.day : 0);
  DlgAddEditAppt editor(isNew, day, id, window());
  const bool saved = editor.DoModal() == kIdOk;
  m_detachedByEdit = editor.DetachedRecord();
  return saved;
}

int DlgImpDates::DeleteRecord(int id) {
  return RowKind(GetList()->GetFirstSelectedRow()) == kCategoryTasks ? DeleteTask(id) : DeleteEvent(id);
}

void DlgImpDates::OnDeleteItems() {
  const int row = GetList()->GetFirstSelectedRow();
  const Occurrence occurrence = RowOccurrence(row);
  if (row < 0 || !occurrence.repeats) {
    DlgRecordView::OnDeleteItems();
    return;
  }
  DlgOccurrenceQuestion question(window());
  const int answer = question.DoModal();
  if (answer == DlgOccurrenceQuestion::kAll) {
    DeleteRow(row);
  } else if (answer == DlgOccurrenceQuestion::kThisOne) {
    RecordSnapshot before = TakeSnapshot(occurrence.kind, occurrence.id);
    if (ExcludeOccurrence(occurrence.kind, occurrence.id, occurrence.day) != 0) {
      ShowMessage(RowTexts(row).deleteFailed, kMessageOkNotice);
    } else {
      RecordChange(UndoStep::kEdit, std::move(before));
    }
  }
  if (answer != DlgOccurrenceQuestion::kCancel) RefreshList();
  FocusList();
}
