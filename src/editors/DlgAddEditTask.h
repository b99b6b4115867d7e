#pragma once

#include "records/Tasks.h"
#include "editors/DlgRecordEditor.h"

class CAutoCombo;
class CButtonST;
class CColorDateTimeCtrl;
class CColorEdit;
class CColorStatic;
class CMyRichEditCtrl;
class RepeatChoice;

// Adds a task or edits one: name, priority, category, description, an
// optional completion date with an optional time, a reminder and, for a task
// with a date, how it repeats. It writes the task itself before it ends with
// OK; a write that fails keeps it open with everything typed. Minute and hour
// reminders are offered only for a task with both a date and a time.
class DlgAddEditTask : public DlgRecordEditor {
  Q_OBJECT

 public:
  enum { kTemplateId = 110 };
  enum {
    kIdTitle = 1070,
    kIdNameLabel = 1063,
    kIdName = 1032,
    kIdPriorityLabel = 1064,
    kIdPriority = 1012,
    kIdCategoryLabel = 1065,
    kIdCategory = 1007,
    kIdCategories = 1001,
    kIdDescription = 1052,
    kIdHasDate = 1053,
    kIdDate = 1055,
    kIdHasTime = 1054,
    kIdTime = 1056,
    kIdReminderLabel = 1066,
    kIdReminder = 1062,
    kIdRepeatLabel = 1105,
    kIdRepeat = 1106,
    kIdRepeatWords = 1107,
  };

  DlgAddEditTask(bool isNew, int id, QWidget* parent = nullptr);

  // Opened on one occurrence of a repeating task (a day of the dates page):
  // a save then asks whether the change is for that occurrence only.
  void SetOccurrenceDay(int day) { m_occurrenceDay = day; }

 protected:
  bool OnInitDialog() override;
  // Save: validates, writes the task and ends with OK.
  void OnOK() override;

 private:
  void FillPriorities();
  void FillCategories();
  void FillReminders();
  void LoadForEdit();
  void ApplyDateRule();
  void ApplyTimeRule();
  TaskRecord RecordFromControls() const;

  bool m_isNew;
  int m_id;
  TaskRecord m_task;
  RepeatRule m_storedRule;
  int m_occurrenceDay = 0;
  CColorStatic* m_title;
  CColorEdit* m_name;
  CAutoCombo* m_priority;
  CAutoCombo* m_category;
  CButtonST* m_categories;
  CMyRichEditCtrl* m_description;
  CButtonST* m_hasDate;
  CColorDateTimeCtrl* m_date;
  CButtonST* m_hasTime;
  CColorDateTimeCtrl* m_time;
  CColorStatic* m_reminderLabel;
  CAutoCombo* m_reminder;
  RepeatChoice* m_repeat;
};
