#include "views/DlgImpDates.h"

#include <QHeaderView>
#include <algorithm>

#include "db/OleDate.h"
#include "editors/DlgAddEditAppt.h"
#include "records/Categories.h"
#include "records/Events.h"
#include "ui/CButtonST.h"
#include "ui/CMyMonthCalCtrl.h"

namespace {
constexpr int kTickedIcon = 156;
constexpr int kUntickedIcon = 158;
constexpr int kDateColumn = 2;
}  // namespace

DlgImpDates::DlgImpDates()
    : DlgRecordView(kTemplateId, kIdList, kCategoryEvents,
                    {"Events", "Are you sure you want to delete this Event?", "No Events selected for deletion!",
                     "Please select an Event to edit!", "The Event could not be deleted."}),
      m_calendar(qobject_cast<CMyMonthCalCtrl*>(GetDlgItem(kIdCalendar))),
      m_allEvents(qobject_cast<CButtonST*>(GetDlgItem(kIdAllEvents))) {
  connect(m_calendar, &QCalendarWidget::selectionChanged, this, &DlgImpDates::RefreshList);
  connect(m_allEvents, &QAbstractButton::clicked, this, &DlgImpDates::OnAllEventsClicked);
}

bool DlgImpDates::OnInitDialog() {
  InitDialogBase(kTemplateId);
  m_calendar->ApplyColors();
  SetUpList({{"Time", 75}, {"Event", 270}, {"Date", 85}});
  // Read first, though added last: the day's columns keep their places.
  GetList()->header()->moveSection(kDateColumn, 0);
  ShowColumn(kDateColumn, false);  // one day's events need no date
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
}

double DlgImpDates::SelectedDay() const {
  const QDate day = m_calendar->selectedDate();
  return OleDate::FromParts({day.year(), day.month(), day.day()});
}

void DlgImpDates::RefreshList() {
  const bool allDays = m_allEvents->GetCheckState();
  std::vector<EventRecord> events = ListEvents(allDays ? -1 : OleDate::DayNumber(SelectedDay()));
  // The store gives them by time of day; days first, each day still by time.
  std::stable_sort(events.begin(), events.end(),
                   [](const EventRecord& a, const EventRecord& b) { return a.event_date < b.event_date; });
  ShowRecords(events, [](const EventRecord& event) {
    const std::string time = event.using_time ? OleDate::TimeText(event.event_time) : "All Day";
    return QStringList{QString::fromStdString(time), QString::fromStdString(event.title),
                       QString::fromStdString(OleDate::ShortDateText(event.event_date))};
  });
}

bool DlgImpDates::SelectRecord(int id) {
  const EventRecord event = LoadEvent(id);
  if (event.id < 0) return false;
  if (!m_allEvents->GetCheckState()) {
    const OleDate::Parts day = OleDate::ToParts(event.event_date);
    // Choosing another day refreshes the list through the calendar's signal.
    m_calendar->setSelectedDate(QDate(day.year, day.month, day.day));
  }
  return DlgRecordView::SelectRecord(id);
}

void DlgImpDates::OnAllEventsClicked() {
  m_calendar->setEnabled(!m_allEvents->GetCheckState());
  ShowColumn(kDateColumn, m_allEvents->GetCheckState());
  RefreshList();
}

// A new event goes on the day chosen in the calendar, also while it is greyed
// by "View All Events"; an edit stays on the event's own day.
bool DlgImpDates::RunEditor(bool isNew, int id) {
  DlgAddEditAppt editor(isNew, isNew ? SelectedDay() : 0, id, window());
  return editor.DoModal() == kIdOk;
}

int DlgImpDates::DeleteRecord(int id) { return DeleteEvent(id); }
