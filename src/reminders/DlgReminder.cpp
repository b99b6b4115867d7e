#include "reminders/DlgReminder.h"

#include "app/AppBase.h"
#include "app/Message.h"
#include "reminders/DueReminders.h"
#include "reminders/WarningIntervals.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"

namespace {
constexpr int kEmblemIcon = 151;
constexpr int kTickedIcon = 156;
constexpr int kUntickedIcon = 158;
constexpr int kHoverRed = 0x0000FF;
}  // namespace

DlgReminder::DlgReminder(QWidget* /*creator*/, int kind, int id, int minutesLeft, const QString& name,
                         const QString& when)
    : DlgBase(kTemplateId),
      m_okButton(qobject_cast<CButtonST*>(GetDlgItem(kIdOk))),
      m_title(qobject_cast<CColorStatic*>(GetDlgItem(kIdTitle))),
      m_message(qobject_cast<CColorStatic*>(GetDlgItem(kIdMessage))),
      m_dismiss(qobject_cast<CButtonST*>(GetDlgItem(kIdDismiss))),
      m_reset(qobject_cast<CButtonST*>(GetDlgItem(kIdReset))),
      m_intervals(qobject_cast<CAutoCombo*>(GetDlgItem(kIdIntervals))),
      m_kind(kind),
      m_id(id),
      m_minutesLeft(minutesLeft),
      m_name(name),
      m_when(when) {
  setAttribute(Qt::WA_DeleteOnClose);
  // Above the main window even when that stays on top; the pop-up has no owner,
  // so nothing modal the user has open can block it.
  setWindowFlag(Qt::WindowStaysOnTopHint);
  connect(m_dismiss, &QAbstractButton::clicked, this, &DlgReminder::OnDismissClicked);
  connect(m_reset, &QAbstractButton::clicked, this, &DlgReminder::OnResetClicked);
}

QString DlgReminder::GetMessageText() const {
  if (m_kind == kReminderTask) return "The Task \"" + m_name + "\" is due at \n\n" + m_when;
  return "The Event \"" + m_name + "\" is scheduled for " + m_when;
}

bool DlgReminder::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Orvale Reminder!"));
  const UTSettings& settings = GetApp().GetSettings();

  m_okButton->LoadButtonIcons(kEmblemIcon, 0);
  m_okButton->MakeTransparent();
  m_okButton->SetCaptionFont(&GetButtonFont());
  m_okButton->SetStateColor(CButtonST::kColorFgIn, kHoverRed);
  m_okButton->SetStateColor(CButtonST::kColorBkOut, settings.GetClrBackground());

  m_title->setFont(GetTitleFont());
  m_title->SetForeColor(settings.GetClrText());
  m_message->setFont(GetButtonFont());
  m_message->SetForeColor(settings.GetClrText());
  m_message->setText(GetMessageText());

  for (CButtonST* box : {m_dismiss, m_reset}) {
    box->LoadButtonIcons(kTickedIcon, kUntickedIcon);
    box->MakeTransparent();
    box->SetCaptionFont(&GetButtonFont());
    box->FitToCaption();  // the larger font needs more room than the layout gives
  }
  m_dismiss->SetCheckState(true);
  m_reset->SetCheckState(false);

  m_intervals->SetItemColor(settings.GetClrText(), CAutoCombo::kColorText);
  m_intervals->setFont(GetTextFont());
  m_intervals->setEnabled(false);
  // Only warnings shorter than the time still left can fire again.
  for (const WarningInterval& interval : kWarningIntervals) {
    if (interval.minutes != 0 && m_minutesLeft <= interval.minutes) continue;
    const int index = m_intervals->AddItem(QString::fromUtf8(interval.label));
    m_intervals->SetItemValue(index, interval.minutes);
  }
  m_intervals->SelectItem(0);
  return true;
}

void DlgReminder::OnDismissClicked() {
  m_reset->SetCheckState(false);
  m_intervals->setEnabled(false);
}

void DlgReminder::OnResetClicked() {
  m_dismiss->SetCheckState(false);
  m_intervals->setEnabled(true);
}

void DlgReminder::OnOK() {
  if (m_reset->GetCheckState()) {
    const int warning = m_intervals->GetItemValue(m_intervals->GetSelectedItem());
    if (SetReminderWarning(m_kind, m_id, warning) != 0) {
      // Keep the pop-up open: the user can try again or dismiss it knowingly.
      ShowMessage("The new reminder could not be saved, so \"" + m_name.toStdString() +
                      "\" will not remind you again.",
                  kMessageOkNotice);
      return;
    }
  }
  DlgBase::OnOK();
}

void DlgReminder::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
