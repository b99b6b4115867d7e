#include "editors/DlgAddEditAppt.h"

#include "app/Message.h"
#include "db/OleDate.h"
#include "editors/EditorControls.h"
#include "editors/RepeatChoice.h"
#include "records/Categories.h"
#include "recurrence/RepeatRules.h"
#include "reminders/WarningIntervals.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorDateTimeCtrl.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"

DlgAddEditAppt::DlgAddEditAppt(bool isNew, double day, int id, QWidget* parent)
    : DlgRecordEditor(kTemplateId, parent),
      m_isNew(isNew),
      m_day(day),
      m_id(id),
      m_title(qobject_cast<CColorStatic*>(GetDlgItem(kIdTitle))),
      m_hasTime(qobject_cast<CButtonST*>(GetDlgItem(kIdHasTime))),
      m_time(qobject_cast<CColorDateTimeCtrl*>(GetDlgItem(kIdTime))),
      m_allDay(qobject_cast<CColorStatic*>(GetDlgItem(kIdAllDay))),
      m_name(qobject_cast<CColorEdit*>(GetDlgItem(kIdName))),
      m_warning(qobject_cast<CAutoCombo*>(GetDlgItem(kIdWarning))),
      m_note(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdNote))),
      m_repeat(new RepeatChoice(*this, qobject_cast<CAutoCombo*>(GetDlgItem(kIdRepeat)),
                                qobject_cast<CColorStatic*>(GetDlgItem(kIdRepeatWords)),
                                [this] { return OleDate::DayNumber(m_isNew ? m_day : m_event.event_date); })) {
  m_time->setDateTime(EditorControls::CurrentMinute());
  connect(m_hasTime, &QAbstractButton::clicked, this, &DlgAddEditAppt::ApplyTimeRule);
}

bool DlgAddEditAppt::OnInitDialog() {
  DlgBase::OnInitDialog();
  if (m_isNew) {
    m_title->setText(QString::fromStdString("Schedule Event for " + OleDate::ShortDateText(m_day)));
  } else {
    m_event = LoadEvent(m_id);
    m_storedRule = LoadRepeatRule(kCategoryEvents, m_id);
    const double shownDay = OccurrenceDay() ? OccurrenceDay() : m_event.event_date;
    m_title->setText(QString::fromStdString("Edit Event for " + OleDate::ShortDateText(shownDay)));
  }
  setWindowTitle(m_title->text());
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdAllDay, kIdNameLabel, kIdWarningLabel, kIdRepeatLabel, kIdNoteLabel});
  DressSaveAndCancel();
  m_hasTime->setText(QStringLiteral("Set Event Time:"));
  EditorControls::DressCheckBox(*this, m_hasTime);
  EditorControls::DressPickBox(*this, m_warning, false, 0);
  m_repeat->Dress();

  m_name->setAccessibleName(QStringLiteral("Event name"));
  m_time->setAccessibleName(QStringLiteral("Event time"));
  m_warning->setAccessibleName(QStringLiteral("Warning"));
  m_note->setAccessibleName(QStringLiteral("Note"));

  FillWarnings();
  if (m_isNew) {
    m_warning->SelectItem(0);
    m_hasTime->SetCheckState(false);
  } else {
    LoadForEdit();
  }
  ApplyTimeRule();
  EditorControls::ColorText(m_note);
  StartTimer(kTimerFadeIn, 50);
  return true;
}

// Every interval is offered, whether the event has a time or not.
void DlgAddEditAppt::FillWarnings() {
  m_warning->ResetItems();
  for (const WarningInterval& interval : kWarningIntervals) {
    m_warning->SetItemValue(m_warning->AddItem(QString::fromUtf8(interval.label)), interval.minutes);
  }
}

void DlgAddEditAppt::LoadForEdit() {
  // A warning of none of the intervals leaves the box without a choice; the
  // first entry, "No Warning", is what a save then stores.
  if (!EditorControls::SelectValue(m_warning, m_event.warning)) m_warning->setCurrentIndex(-1);
  m_name->setText(QString::fromStdString(m_event.title));
  m_note->SetStoredText(QString::fromStdString(m_event.note));
  m_hasTime->SetCheckState(m_event.using_time != 0);
  // The time is kept on day 0; the picker shows only its time of day.
  m_time->setDateTime(OleDate::ToQDateTime(m_event.event_time));
  m_repeat->Load(m_storedRule);
}

int DlgAddEditAppt::OccurrenceDay() const {
  return !m_isNew && !m_storedRule.rrule.empty() ? OleDate::DayNumber(m_day) : 0;
}

void DlgAddEditAppt::ApplyTimeRule() {
  const bool withTime = m_hasTime->GetCheckState();
  m_time->setVisible(withTime);
  m_time->setEnabled(withTime);
  m_allDay->setVisible(!withTime);
}

EventRecord DlgAddEditAppt::RecordFromControls() const {
  EventRecord event;
  event.id = m_isNew ? m_id : m_event.id;
  event.event_date = m_isNew ? m_day : m_event.event_date;
  event.using_time = m_hasTime->GetCheckState() ? 1 : 0;
  event.event_time = event.using_time ? OleDate::TimeOfDay(OleDate::FromQDateTime(m_time->dateTime())) : 0;
  event.title = m_name->text().toStdString();
  event.note = m_note->StoredText().toStdString();
  event.warning = EditorControls::SelectedValue(m_warning);
  return event;
}

void DlgAddEditAppt::OnOK() {
  const EventRecord event = RecordFromControls();
  if (event.title.empty()) {
    ShowMessage("Please enter Event name.", kMessageNotice);
    return;
  }
  const RepeatRule rule = m_repeat->Rule();
  if (!RuleUsable(rule, event.event_date + event.event_time)) return;
  const auto write = [event](int id, int day) {
    EventRecord written = event;
    if (day != 0) written.event_date = day;
    if (id == 0) return InsertEvent(written);
    written.id = id;
    return UpdateEvent(written) == 0 ? id : -1;
  };
  const SaveResult result = SaveRepeating(kCategoryEvents, m_isNew ? 0 : event.id, OccurrenceDay(), rule,
                                          m_storedRule, write, DeleteEvent);
  if (result == SaveResult::kCancelled) return;
  const bool saved = result == SaveResult::kSaved;
  FinishSave(saved, "Event \"" + event.title + "\"");
}
