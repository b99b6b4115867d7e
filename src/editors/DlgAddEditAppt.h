#pragma once

#include "editors/DlgRecordEditor.h"
#include "records/Events.h"

class CAutoCombo;
class CButtonST;
class CColorDateTimeCtrl;
class CColorEdit;
class CColorStatic;
class CMyRichEditCtrl;

// Schedules an event on a day or edits one: its name, an optional time of
// day, a note and a reminder. It writes the event itself before it ends with
// OK; a write that fails keeps it open with everything typed. An edit keeps
// the event on its day.
class DlgAddEditAppt : public DlgRecordEditor {
  Q_OBJECT

 public:
  enum { kTemplateId = 115 };
  enum {
    kIdTitle = 1070,
    kIdHasTime = 1054,
    kIdTime = 1083,
    kIdAllDay = 1104,
    kIdNameLabel = 1078,
    kIdName = 1085,
    kIdWarningLabel = 1066,
    kIdWarning = 1062,
    kIdNoteLabel = 1086,
    kIdNote = 1068,
  };

  // `day` is the day a new event is scheduled on; an edit takes the event's own.
  DlgAddEditAppt(bool isNew, double day, int id, QWidget* parent = nullptr);

 protected:
  bool OnInitDialog() override;
  // Save: validates, writes the event and ends with OK.
  void OnOK() override;

 private:
  void FillWarnings();
  void LoadForEdit();
  // The time picker only with a time, "All Day Event" only without.
  void ApplyTimeRule();
  EventRecord RecordFromControls() const;

  bool m_isNew;
  double m_day;
  int m_id;
  EventRecord m_event;
  CColorStatic* m_title;
  CButtonST* m_hasTime;
  CColorDateTimeCtrl* m_time;
  CColorStatic* m_allDay;
  CColorEdit* m_name;
  CAutoCombo* m_warning;
  CMyRichEditCtrl* m_note;
};
