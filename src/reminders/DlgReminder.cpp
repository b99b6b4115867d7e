#include "reminders/DlgReminder.h"

#include <QEvent>

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
  // A pop-up opens without the keyboard; a click anywhere on it gives it the
  // keyboard, also where no window manager does that.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  connect(m_dismiss, &QAbstractButton::clicked, this, &DlgReminder::OnDismissClicked);
  connect(m_reset, &QAbstractButton::clicked, this, &DlgReminder::OnResetClicked);
}

// A reminder caught up after its moment has passed speaks of it in the past.
QString DlgReminder::GetMessageText() const {
  const QString tense = m_minutesLeft < 0 ? "\" was" : "\" is";
  if (m_kind == kReminderTask) return "The Task \"" + m_name + tense + " due at \n\n" + m_when;
  return "The Event \"" + m_name + tense + " scheduled for " + m_when;
}

void DlgReminder::StyleReminderControls(const DlgBase& dialog) {
  const UTSettings& settings = GetApp().GetSettings();
  auto* okButton = qobject_cast<CButtonST*>(dialog.GetDlgItem(kIdOk));
  okButton->LoadButtonIcons(kEmblemIcon, 0);
  okButton->MakeTransparent();
  okButton->SetCaptionFont(&dialog.GetButtonFont());
  okButton->SetStateColor(CButtonST::kColorFgIn, kHoverRed);
  okButton->SetStateColor(CButtonST::kColorBkOut, settings.GetClrBackground());
  auto* title = qobject_cast<CColorStatic*>(dialog.GetDlgItem(kIdTitle));
  title->setFont(dialog.GetTitleFont());
  title->SetForeColor(settings.GetClrText());
  auto* message = qobject_cast<CColorStatic*>(dialog.GetDlgItem(kIdMessage));
  message->setFont(dialog.GetButtonFont());
  message->SetForeColor(settings.GetClrText());
}

bool DlgReminder::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Orvale Reminder!"));
  const UTSettings& settings = GetApp().GetSettings();

  StyleReminderControls(*this);
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

bool DlgReminder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && !isActiveWindow()) activateWindow();
  return DlgBase::eventFilter(watched, event);
}

void DlgReminder::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
