#include "editors/DlgRepeatCustom.h"

#include <QIntValidator>

#include "app/AppBase.h"
#include "app/Message.h"
#include "db/OleDate.h"
#include "editors/EditorControls.h"
#include "recurrence/RuleWords.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorDateTimeCtrl.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"

namespace {

constexpr int kSaveIcon = 151;
constexpr int kCancelIcon = 161;
// Large enough for any rule a person means; the store keeps the number as text.
constexpr int kLargestNumber = 999;

const char* const kWeekdayNames[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char* const kOrdinals[] = {"", "first", "second", "third", "fourth", "fifth"};

int NumberIn(const CColorEdit* field) { return field->text().toInt(); }

}  // namespace

DlgRepeatCustom::DlgRepeatCustom(const RepeatForm& form, int firstDay, QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_form(form),
      m_firstDay(firstDay),
      m_interval(qobject_cast<CColorEdit*>(GetDlgItem(kIdInterval))),
      m_unit(qobject_cast<CAutoCombo*>(GetDlgItem(kIdUnit))),
      m_monthlyLabel(qobject_cast<CColorStatic*>(GetDlgItem(kIdMonthlyLabel))),
      m_monthly(qobject_cast<CAutoCombo*>(GetDlgItem(kIdMonthly))),
      m_ends(qobject_cast<CAutoCombo*>(GetDlgItem(kIdEnds))),
      m_until(qobject_cast<CColorDateTimeCtrl*>(GetDlgItem(kIdUntil))),
      m_count(qobject_cast<CColorEdit*>(GetDlgItem(kIdCount))),
      m_times(qobject_cast<CColorStatic*>(GetDlgItem(kIdTimes))),
      m_words(qobject_cast<CColorStatic*>(GetDlgItem(kIdWords))) {
  for (int weekday = 0; weekday < 7; ++weekday) {
    m_weekdays[weekday] = qobject_cast<CButtonST*>(GetDlgItem(kIdFirstWeekday + weekday));
  }
}

bool DlgRepeatCustom::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Custom Repeat"));
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdEveryLabel, kIdMonthlyLabel, kIdEndsLabel, kIdTimes, kIdWords});
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdOk)), kSaveIcon);
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdCancel)), kCancelIcon);
  for (int weekday = 0; weekday < 7; ++weekday) {
    EditorControls::DressCheckBox(*this, m_weekdays[weekday]);
    m_weekdays[weekday]->setAccessibleName(QString::fromUtf8(kWeekdayNames[weekday]));
  }
  for (CAutoCombo* box : {m_unit, m_monthly, m_ends}) EditorControls::DressPickBox(*this, box, false, 0);
  m_interval->setValidator(new QIntValidator(1, kLargestNumber, m_interval));
  m_count->setValidator(new QIntValidator(1, kLargestNumber, m_count));
  m_interval->setAccessibleName(QStringLiteral("Every"));
  m_unit->setAccessibleName(QStringLiteral("Unit"));
  m_monthly->setAccessibleName(QStringLiteral("Monthly on"));
  m_ends->setAccessibleName(QStringLiteral("Ends"));
  m_until->setAccessibleName(QStringLiteral("End date"));
  m_count->setAccessibleName(QStringLiteral("Times"));

  for (const char* unit : {"days", "weeks", "months", "years"}) m_unit->AddItem(QString::fromUtf8(unit));
  const QDate first = OleDate::ToQDateTime(m_firstDay).date();
  const std::string weekday = kWeekdayNames[WeekdayOfDay(m_firstDay)];
  m_monthly->SetItemValue(m_monthly->AddItem(QStringLiteral("Day %1").arg(first.day())), RepeatForm::kDayOfMonth);
  m_monthly->SetItemValue(
      m_monthly->AddItem(QString::fromStdString(std::string("The ") + kOrdinals[WeekOfMonth(m_firstDay)] + " " + weekday)),
      RepeatForm::kNthWeekday);
  // "Last" only where the first day is one: it would otherwise move the series.
  if (IsLastWeekdayOfMonth(m_firstDay)) {
    m_monthly->SetItemValue(m_monthly->AddItem(QString::fromStdString("The last " + weekday)), RepeatForm::kLastWeekday);
  }
  for (const char* ending : {"Never", "On date", "After"}) m_ends->AddItem(QString::fromUtf8(ending));

  // From the form given; a form without a frequency starts as every week.
  const RepeatForm start = m_form.frequency == RepeatForm::kNever ? RepeatForm{RepeatForm::kWeekly} : m_form;
  m_interval->setText(QString::number(start.interval));
  m_unit->SelectItem(start.frequency - RepeatForm::kDaily);
  const unsigned weekdays = start.weekdays ? start.weekdays : 1u << WeekdayOfDay(m_firstDay);
  for (int weekday = 0; weekday < 7; ++weekday) m_weekdays[weekday]->SetCheckState((weekdays >> weekday) & 1u);
  if (!EditorControls::SelectValue(m_monthly, start.monthlyOn)) m_monthly->SelectItem(0);
  m_ends->SelectItem(start.ending);
  // A day past the first; a month on is a plain first guess.
  m_until->setDateTime(OleDate::ToQDateTime(start.ending == RepeatForm::kUntilDay ? start.untilDay : m_firstDay)
                           .addMonths(start.ending == RepeatForm::kUntilDay ? 0 : 1));
  m_count->setText(QString::number(start.ending == RepeatForm::kCount ? start.count : 10));

  for (CAutoCombo* box : {m_unit, m_monthly, m_ends}) connect(box, &CAutoCombo::selChange, this, &DlgRepeatCustom::ApplyChoices);
  for (CButtonST* box : m_weekdays) connect(box, &QAbstractButton::clicked, this, &DlgRepeatCustom::ApplyChoices);
  connect(m_interval, &QLineEdit::textChanged, this, &DlgRepeatCustom::ApplyChoices);
  connect(m_count, &QLineEdit::textChanged, this, &DlgRepeatCustom::ApplyChoices);
  connect(m_until, &QDateTimeEdit::dateTimeChanged, this, &DlgRepeatCustom::ApplyChoices);
  ApplyChoices();
  StartTimer(kTimerFadeIn, 50);
  return true;
}

RepeatForm DlgRepeatCustom::FormFromControls() const {
  RepeatForm form;
  form.frequency = static_cast<RepeatForm::Frequency>(RepeatForm::kDaily + std::max(0, m_unit->GetSelectedItem()));
  form.interval = NumberIn(m_interval);
  if (form.frequency == RepeatForm::kWeekly) {
    for (int weekday = 0; weekday < 7; ++weekday) {
      if (m_weekdays[weekday]->GetCheckState()) form.weekdays |= 1u << weekday;
    }
  }
  if (form.frequency == RepeatForm::kMonthly) {
    form.monthlyOn = static_cast<RepeatForm::MonthlyOn>(EditorControls::SelectedValue(m_monthly));
  }
  form.ending = static_cast<RepeatForm::Ending>(std::max(0, m_ends->GetSelectedItem()));
  if (form.ending == RepeatForm::kUntilDay) form.untilDay = OleDate::DayNumber(OleDate::FromQDateTime(m_until->dateTime()));
  if (form.ending == RepeatForm::kCount) form.count = NumberIn(m_count);
  return form;
}

void DlgRepeatCustom::ApplyChoices() {
  const RepeatForm form = FormFromControls();
  for (CButtonST* box : m_weekdays) box->setEnabled(form.frequency == RepeatForm::kWeekly);
  m_monthlyLabel->setEnabled(form.frequency == RepeatForm::kMonthly);
  m_monthly->setEnabled(form.frequency == RepeatForm::kMonthly);
  m_until->setVisible(form.ending == RepeatForm::kUntilDay);
  m_count->setVisible(form.ending == RepeatForm::kCount);
  m_times->setVisible(form.ending == RepeatForm::kCount);
  const bool complete = form.interval > 0 && (form.ending != RepeatForm::kCount || form.count > 0);
  m_words->setText(complete ? QString::fromStdString(DescribeRepeatRule({RepeatRuleText(form, m_firstDay), {}, {}}, m_firstDay))
                            : QString());
}

void DlgRepeatCustom::OnOK() {
  const RepeatForm form = FormFromControls();
  if (form.interval < 1) {
    ShowMessage("Please enter how often it repeats, from 1 to 999.", kMessageOkNotice);
    m_interval->setFocus();
    return;
  }
  if (form.ending == RepeatForm::kCount && form.count < 1) {
    ShowMessage("Please enter how many times it repeats, from 1 to 999.", kMessageOkNotice);
    m_count->setFocus();
    return;
  }
  if (form.ending == RepeatForm::kUntilDay && form.untilDay < m_firstDay) {
    ShowMessage("The repeat ends before its first day " + OleDate::ShortDateText(m_firstDay) + ".", kMessageOkNotice);
    return;
  }
  m_form = form;
  FadeOut();
  DlgBase::OnOK();
}

void DlgRepeatCustom::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
