#include "editors/DlgAddEditTask.h"

#include <QTextCursor>

#include "app/AppBase.h"
#include "app/Message.h"
#include "db/OleDate.h"
#include "editors/DlgMngCategories.h"
#include "editors/EditorControls.h"
#include "editors/WriteFailure.h"
#include "records/Categories.h"
#include "records/Priorities.h"
#include "reminders/WarningIntervals.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorDateTimeCtrl.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

constexpr int kSaveIcon = 151;
constexpr int kCancelIcon = 161;
constexpr int kSecondColumnOffset = 100;
// Reminders from a day ahead on need no time of day.
constexpr int kDayAheadMinutes = 1420;

// Chooses the item carrying this value; without one the choice stays as it was.
void SelectValue(CAutoCombo* box, int value) {
  for (int index = 0; index < box->count(); ++index) {
    if (box->GetItemValue(index) == value) {
      box->SelectItem(index);
      return;
    }
  }
}

int SelectedValue(const CAutoCombo* box) { return box->GetItemValue(box->GetSelectedItem()); }

}  // namespace

DlgAddEditTask::DlgAddEditTask(bool isNew, int id, QWidget* parent)
    : DlgBase(kTemplateId, parent),
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
      m_save(qobject_cast<CButtonST*>(GetDlgItem(kIdOk))),
      m_cancel(qobject_cast<CButtonST*>(GetDlgItem(kIdCancel))) {
  // Modal to the window that opened it only: reminder pop-ups stay usable.
  if (parent) setWindowModality(Qt::WindowModal);
  const QDateTime now = OleDate::ToQDateTime(OleDate::Now());
  m_date->setDateTime(now);
  m_time->setDateTime(now);
  connect(m_hasDate, &QAbstractButton::clicked, this, &DlgAddEditTask::ApplyDateRule);
  connect(m_hasTime, &QAbstractButton::clicked, this, &DlgAddEditTask::ApplyTimeRule);
  connect(m_categories, &QAbstractButton::clicked, this, &DlgAddEditTask::OnCategoriesClicked);
}

bool DlgAddEditTask::OnInitDialog() {
  DlgBase::OnInitDialog();
  const UTSettings& settings = GetApp().GetSettings();
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdNameLabel, kIdPriorityLabel, kIdCategoryLabel, kIdReminderLabel});
  EditorControls::DressButton(*this, m_save, kSaveIcon);
  EditorControls::DressButton(*this, m_cancel, kCancelIcon);
  EditorControls::DressButton(*this, m_categories, 0);
  EditorControls::DressCheckBox(*this, m_hasDate);
  EditorControls::DressCheckBox(*this, m_hasTime);
  for (CAutoCombo* box : {m_priority, m_category, m_reminder}) {
    box->setFont(GetTextFont());
    box->SetItemColor(settings.GetClrText(), CAutoCombo::kColorText);
  }
  m_priority->InitAutoCombo(false, 0);
  m_category->InitAutoCombo(true, kSecondColumnOffset);
  m_reminder->InitAutoCombo(false, 0);

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
  m_description->SetTextColorAll();
  // Left selected, the whole description would go with the first key typed.
  QTextCursor cursor = m_description->textCursor();
  cursor.clearSelection();
  m_description->setTextCursor(cursor);
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
  m_category->ResetItems();
  int chosen = 0;
  for (const CategoryRecord& category : ListCategories(kCategoryTasks)) {
    const int index =
        m_category->AddItemPair(QString::fromStdString(category.name), QString::fromStdString(category.comment));
    m_category->SetItemValue(index, category.id);
    if (!m_isNew && category.id == m_task.category_id) chosen = index;
  }
  if (m_category->count() > 0) m_category->SelectItem(chosen);
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
  m_name->setText(QString::fromStdString(m_task.name));
  m_description->setPlainText(QString::fromStdString(m_task.description));
  m_hasDate->SetCheckState(m_task.deadline != 0);
  m_hasTime->SetCheckState(m_task.deadline != 0 && m_task.deadline_time != 0);
  const double now = OleDate::Now();
  // The time is kept on day 0; the picker shows only its time of day.
  m_date->setDateTime(OleDate::ToQDateTime(m_task.deadline ? m_task.due_date : now));
  m_time->setDateTime(OleDate::ToQDateTime(m_task.deadline_time ? m_task.due_time : now));
  ApplyDateRule();
  ApplyTimeRule();
  FillReminders();
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
  m_time->setEnabled(m_hasTime->GetCheckState());
  FillReminders();
}

void DlgAddEditTask::ApplyTimeRule() {
  m_time->setEnabled(m_hasTime->GetCheckState());
  FillReminders();
}

// The box is refilled only when the manager closed with "Close Window", and
// then shows the task's stored category (or the first) again.
void DlgAddEditTask::OnCategoriesClicked() {
  DlgMngCategories manager(kCategoryTasks, this);
  if (manager.DoModal() == kIdOk) FillCategories();
}

TaskRecord DlgAddEditTask::RecordFromControls() const {
  TaskRecord task;
  task.id = m_id;
  task.category_id = SelectedValue(m_category);
  task.priority_id = SelectedValue(m_priority);
  task.warning = SelectedValue(m_reminder);
  task.name = m_name->text().toStdString();
  task.description = m_description->toPlainText().toStdString();
  task.deadline = m_hasDate->GetCheckState() ? 1 : 0;
  task.deadline_time = m_hasTime->GetCheckState() ? 1 : 0;
  task.due_date = OleDate::DayNumber(OleDate::FromQDateTime(m_date->dateTime()));
  task.due_time = OleDate::TimeOfDay(OleDate::FromQDateTime(m_time->dateTime()));
  task.completed = m_task.completed;
  return task;
}

void DlgAddEditTask::OnOK() {
  const TaskRecord task = RecordFromControls();
  if (task.name.empty()) {
    ShowMessage("Please enter a Task name.", kMessageNotice);
    return;
  }
  const bool saved = m_isNew ? InsertTask(task) > 0 : UpdateTask(task) == 0;
  if (!saved) {
    // Everything typed stays, so the user can save again once the cause is gone.
    ShowMessage("The Task \"" + task.name + "\" was not saved: " + WriteFailureReason(), kMessageOkNotice);
    return;
  }
  FadeOut();
  DlgBase::OnOK();
}

void DlgAddEditTask::OnCancel() {
  FadeOut();
  DlgBase::OnCancel();
}

void DlgAddEditTask::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
