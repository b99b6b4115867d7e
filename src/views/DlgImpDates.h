#pragma once

#include <vector>

#include "recurrence/Occurrences.h"
#include "views/DlgRecordView.h"

class CButtonST;
class CMyMonthCalCtrl;

// The "My Dates & Events" page: a month calendar beside what the chosen day
// holds, every occurrence of its events (a repeating one marked) and below
// them the tasks due that day in their priority colours; or, when "View All
// Events" is ticked, every event once, by date and time, with how it repeats.
// The calendar shows the days of its month that hold anything in bold.
class DlgImpDates : public DlgRecordView {
  Q_OBJECT

 public:
  enum { kTemplateId = 109, kIdList = 1076, kIdCalendar = 1090, kIdAllEvents = 1112 };
  // The mark after the title of an occurrence of a repeating event or task.
  static constexpr char kRepeatMark[] = "\u21BB";

  DlgImpDates();

  void RefreshList() override;
  void ApplyColors() override;
  // Shows the event's day first, unless every day is shown.
  bool SelectRecord(int id) override;
  // An occurrence of a repeating event or task asks whether to delete it alone.
  void OnDeleteItems() override;

 protected:
  bool OnInitDialog() override;
  bool RunEditor(bool isNew, int id) override;
  int DeleteRecord(int id) override;
  int RowKind(int row) const override;
  const Texts& RowTexts(int row) const override;

 private:
  void OnAllEventsClicked();
  // The day chosen in the calendar, at midnight.
  double SelectedDay() const;
  void ShowDay();
  void ShowAllEvents();
  // Bold days of the month the calendar shows.
  void MarkDays();
  // What the list shows on a row; none past the end.
  Occurrence RowOccurrence(int row) const;

  CMyMonthCalCtrl* m_calendar;
  CButtonST* m_allEvents;
  std::vector<Occurrence> m_rows;  // what each row of the list shows
};
