#pragma once

#include "editors/DlgRecordEditor.h"
#include "records/Events.h"

class CAutoCombo;
class CButtonST;
class CColorDateTimeCtrl;
class CColorEdit;
class CColorStatic;
class CMyRichEditCtrl;
class RepeatChoice;

// Schedules an event on a day or edits one: its name, an optional time of
// day, a note, a reminder and how it repeats. It writes the event itself
// before it ends with OK; a write that fails keeps it open with everything
// typed. An edit keeps the event on its day; an edit of one occurrence of a
// repeating event asks whether the change is for that occurrence only.
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
    kIdRepeatLabel = 1105,
    kIdRepeat = 1106,
    kIdRepeatWords = 1107,
  };

  // `day` is the day a new event is scheduled on. An edit takes the event's
  // own, unless `day` names the occurrence of a repeating event opened.
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
  // The day of the occurrence being edited, or 0 for the whole event.
  int OccurrenceDay() const;

  bool m_isNew;
  double m_day;
  int m_id;
  EventRecord m_event;
  RepeatRule m_storedRule;
  CColorStatic* m_title;
  CButtonST* m_hasTime;
  CColorDateTimeCtrl* m_time;
  CColorStatic* m_allDay;
  CColorEdit* m_name;
  CAutoCombo* m_warning;
  CMyRichEditCtrl* m_note;
  RepeatChoice* m_repeat;
};
