#pragma once

#include "views/DlgRecordView.h"

class CButtonST;
class CMyMonthCalCtrl;

// The "My Dates & Events" page: a month calendar beside the events of the
// chosen day, or of every day when "View All Events" is ticked, by time.
class DlgImpDates : public DlgRecordView {
  Q_OBJECT

 public:
  enum { kTemplateId = 109, kIdList = 1076, kIdCalendar = 1090, kIdAllEvents = 1112 };

  DlgImpDates();

  void RefreshList() override;
  void ApplyColors() override;
  // Shows the event's day first, unless every day is shown.
  bool SelectRecord(int id) override;

 protected:
  bool OnInitDialog() override;
  bool RunEditor(bool isNew, int id) override;
  int DeleteRecord(int id) override;

 private:
  void OnAllEventsClicked();
  // The day chosen in the calendar, at midnight.
  double SelectedDay() const;

  CMyMonthCalCtrl* m_calendar;
  CButtonST* m_allEvents;
};
