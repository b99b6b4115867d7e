#include "editors/DlgAddEditTask.h"

#include "app/Message.h"
#include "db/OleDate.h"
#include "editors/EditorControls.h"
#include "editors/RepeatChoice.h"
#include "records/Categories.h"
#include "records/Priorities.h"
#include "recurrence/RepeatRules.h"
#include "reminders/WarningIntervals.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorDateTimeCtrl.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

constexpr int kSecondColumnOffset = 100;
// Reminders from a day ahead on need no time of day.
constexpr int kDayAheadMinutes = 1420;

}  // namespace

using EditorControls::SelectedValue;
using EditorControls::SelectValue;

DlgAddEditTask::DlgAddEditTask(bool isNew, int id, QWidget* parent)
    : DlgRecordEditor(kTemplateId, parent),
      m_isNew(isNew),
      m_id(id),
      m_title(qobject_cast<CColorStatic*>(GetDlgItem(kIdTitle))),
      m_name(qobject_cast<CColorEdit*>(GetDlgItem(kIdName))),
      m_priority(qobject_cast<CAutoCombo*>(GetDlgItem(kIdPriority))),
      m_category(qobject_cast<CAutoCombo*>(GetDlgItem(kIdCategory))),
      m_categories(qobject_cast<CButtonST*>(GetDlgItem(kIdCategories))),
      m_description(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdDescription))),
      m_hasDate(qobject_cast<CButtonST*>(GetDlgItem(kIdHasDate))),
      m_date(qobject_cast<CColorDateTimeCtrl*>(GetDlgItem(kIdDate))),
      m_hasTime(qobject_cast<CButtonST*>(GetDlgItem(kIdHasTime))),
      m_time(qobject_cast<CColorDateTimeCtrl*>(GetDlgItem(kIdTime))),
      m_reminderLabel(qobject_cast<CColorStatic*>(GetDlgItem(kIdReminderLabel))),
      m_reminder(qobject_cast<CAutoCombo*>(GetDlgItem(kIdReminder))),
      m_repeat(new RepeatChoice(*this, qobject_cast<CAutoCombo*>(GetDlgItem(kIdRepeat)),
                                qobject_cast<CColorStatic*>(GetDlgItem(kIdRepeatWords)),
                                [this] { return OleDate::DayNumber(OleDate::FromQDateTime(m_date->dateTime())); })) {
  const QDateTime now = EditorControls::CurrentMinute();
  m_date->setDateTime(now);
  m_time->setDateTime(now);
  connect(m_hasDate, &QAbstractButton::clicked, this, &DlgAddEditTask::ApplyDateRule);
  connect(m_hasTime, &QAbstractButton::clicked, this, &DlgAddEditTask::ApplyTimeRule);
  connect(m_date, &QDateTimeEdit::dateChanged, m_repeat, &RepeatChoice::Refresh);
  // The box is refilled only when the manager closed with "Close Window", and
  // then shows the stored category (or the first) again.
  connect(m_categories, &QAbstractButton::clicked, this, [this] {
    if (ManageCategories(kCategoryTasks)) FillCategories();
  });
}

bool DlgAddEditTask::OnInitDialog() {
  DlgBase::OnInitDialog();
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdNameLabel, kIdPriorityLabel, kIdCategoryLabel, kIdReminderLabel, kIdRepeatLabel});
  DressSaveAndCancel();
  EditorControls::DressButton(*this, m_categories, 0);
  EditorControls::DressCheckBox(*this, m_hasDate);
  EditorControls::DressCheckBox(*this, m_hasTime);
  EditorControls::DressPickBox(*this, m_priority, false, 0);
  EditorControls::DressPickBox(*this, m_category, true, kSecondColumnOffset);
  OfferNewCategories(m_category, kCategoryTasks);
  EditorControls::DressPickBox(*this, m_reminder, false, 0);
  m_repeat->Dress();

  m_name->setAccessibleName(QStringLiteral("Task name"));
  m_priority->setAccessibleName(QStringLiteral("Priority"));
  m_category->setAccessibleName(QStringLiteral("Category"));
  m_description->setAccessibleName(QStringLiteral("Description"));
  m_date->setAccessibleName(QStringLiteral("Completion date value"));
  m_time->setAccessibleName(QStringLiteral("Completion time value"));
  m_reminder->setAccessibleName(QStringLiteral("Reminder"));

  FillPriorities();
  m_title->setText(m_isNew ? QStringLiteral("Add New Task") : QStringLiteral("Edit Task"));
  setWindowTitle(m_title->text());
  if (m_isNew) {
    m_hasDate->SetCheckState(false);
    m_hasTime->SetCheckState(false);
    ApplyDateRule();
    ApplyTimeRule();
    FillReminders();
  } else {
    LoadForEdit();
  }
  FillCategories();
  EditorControls::ColorText(m_description);
  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgAddEditTask::FillPriorities() {
  m_priority->ResetItems();
  for (const PriorityRecord& priority : ListPriorities()) {
    m_priority->SetItemValue(m_priority->AddItem(QString::fromStdString(priority.name)), priority.id);
  }
  if (m_priority->count() > 0) m_priority->SelectItem(0);
}

void DlgAddEditTask::FillCategories() {
  EditorControls::FillCategories(m_category, kCategoryTasks, m_isNew ? -1 : m_task.category_id);
}

void DlgAddEditTask::FillReminders() {
  const bool withTime = m_hasDate->GetCheckState() && m_hasTime->GetCheckState();
  m_reminder->ResetItems();
  for (const WarningInterval& interval : kWarningIntervals) {
    const bool needsTime = interval.minutes != 0 && interval.minutes < kDayAheadMinutes;
    if (needsTime && !withTime) continue;
    m_reminder->SetItemValue(m_reminder->AddItem(QString::fromUtf8(interval.label)), interval.minutes);
  }
  m_reminder->SelectItem(0);
}

void DlgAddEditTask::LoadForEdit() {
  m_task = LoadTask(m_id);
  m_storedRule = LoadRepeatRule(kCategoryTasks, m_id);
  if (m_storedRule.rrule.empty()) m_occurrenceDay = 0;
  m_name->setText(QString::fromStdString(m_task.name));
  m_description->SetStoredText(QString::fromStdString(m_task.description));
  m_hasDate->SetCheckState(m_task.deadline != 0);
  m_hasTime->SetCheckState(m_task.deadline != 0 && m_task.deadline_time != 0);
  const QDateTime now = EditorControls::CurrentMinute();
  // The time is kept on day 0; the picker shows only its time of day.
  m_date->setDateTime(m_task.deadline ? OleDate::ToQDateTime(m_task.due_date) : now);
  m_time->setDateTime(m_task.deadline_time ? OleDate::ToQDateTime(m_task.due_time) : now);
  ApplyDateRule();
  ApplyTimeRule();
  FillReminders();
  m_repeat->Load(m_storedRule);
  SelectValue(m_priority, m_task.priority_id);
  // Without a date the box is disabled and stays at "No Warning": a warning
  // the user cannot see would fire against the day of the last edit.
  if (m_task.deadline) SelectValue(m_reminder, m_task.warning);
}

void DlgAddEditTask::ApplyDateRule() {
  const bool hasDate = m_hasDate->GetCheckState();
  if (!hasDate) m_hasTime->SetCheckState(false);
  for (QWidget* control : {static_cast<QWidget*>(m_hasTime), static_cast<QWidget*>(m_date),
                           static_cast<QWidget*>(m_reminderLabel), static_cast<QWidget*>(m_reminder)}) {
    control->setEnabled(hasDate);
  }
  // Only a task with a date can repeat.
  m_repeat->SetEnabled(hasDate);
  m_time->setEnabled(m_hasTime->GetCheckState());
  FillReminders();
}

void DlgAddEditTask::ApplyTimeRule() {
  m_time->setEnabled(m_hasTime->GetCheckState());
  FillReminders();
}

TaskRecord DlgAddEditTask::RecordFromControls() const {
  TaskRecord task;
  task.id = m_id;
  task.category_id = SelectedValue(m_category);
  task.priority_id = SelectedValue(m_priority);
  task.warning = SelectedValue(m_reminder);
  task.name = m_name->text().toStdString();
  task.description = m_description->StoredText().toStdString();
  task.deadline = m_hasDate->GetCheckState() ? 1 : 0;
  task.deadline_time = m_hasTime->GetCheckState() ? 1 : 0;
  task.due_date = OleDate::DayNumber(OleDate::FromQDateTime(m_date->dateTime()));
  // No time of day is midnight, not the moment the task was typed.
  task.due_time = task.deadline_time ? OleDate::TimeOfDay(OleDate::FromQDateTime(m_time->dateTime())) : 0.0;
  task.completed = m_task.completed;
  return task;
}

void DlgAddEditTask::OnOK() {
  const TaskRecord task = RecordFromControls();
  if (task.name.empty()) {
    ShowMessage("Please enter a Task name.", kMessageNotice);
    return;
  }
  const RepeatRule rule = m_repeat->Rule();
  if (!RuleUsable(rule, TaskDueMoment(task))) return;
  const auto write = [task](int id, int day) {
    TaskRecord written = task;
    if (day != 0) written.due_date = day;
    if (id == 0) return InsertTask(written);
    written.id = id;
    return UpdateTask(written) == 0 ? id : -1;
  };
  const SaveResult result = SaveRepeating(kCategoryTasks, m_isNew ? 0 : task.id, m_occurrenceDay, rule,
                                          m_storedRule, write, DeleteTask);
  if (result == SaveResult::kCancelled) return;
  const bool saved = result == SaveResult::kSaved;
  FinishSave(saved, "Task \"" + task.name + "\"");
}
