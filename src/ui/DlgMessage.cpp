#include "ui/DlgMessage.h"

#include <QFontMetrics>
#include <algorithm>

#include "app/AppBase.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"

namespace {

enum { kTitleId = 1096, kMessageId = 1081 };

DlgMessage::Responder& TheResponder() {
  static DlgMessage::Responder responder;
  return responder;
}

}  // namespace

DlgMessage::DlgMessage(const QString& text, int kind, QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_text(text),
      m_messageLabel(qobject_cast<CColorStatic*>(GetDlgItem(kMessageId))),
      m_titleLabel(qobject_cast<CColorStatic*>(GetDlgItem(kTitleId))),
      m_kind(kind),
      m_yesButton(qobject_cast<CButtonST*>(GetDlgItem(kIdOk))),
      m_noButton(qobject_cast<CButtonST*>(GetDlgItem(kIdCancel))) {}

void DlgMessage::SetResponder(Responder responder) { TheResponder() = std::move(responder); }

int DlgMessage::DoModal() {
  if (!TheResponder()) return DlgBase::DoModal();
  Create();
  return TheResponder()(*this);
}

bool DlgMessage::OnInitDialog() {
  DlgBase::OnInitDialog();
  StartTimer(kTimerFadeIn, 50);
  const int textColor = GetApp().GetSettings().GetClrText();

  // The title line names the window for window lists and screen readers.
  setWindowTitle(m_titleLabel->text());
  m_titleLabel->setFont(GetTitleFont());
  m_titleLabel->SetForeColor(textColor);

  m_messageLabel->setText(m_text);
  m_messageLabel->setFont(GetTextFont());
  m_messageLabel->SetForeColor(textColor);
  FitMessage();

  for (CButtonST* button : {m_yesButton, m_noButton}) {
    button->SetFlatStyle(false);
    button->MakeTransparent();
    button->SetCaptionFont(&GetButtonFont());
  }

  const int dialogWidth = width();
  const int yesWidth = m_yesButton->width();
  const int noWidth = m_noButton->width();
  switch (m_kind) {
    case 1:
      StartTimer(kTimerSelfClose, kSelfCloseMs);
      m_yesButton->hide();
      m_noButton->hide();
      setGeometry(geometry().adjusted(0, 20, 0, -20));
      break;
    case 0:
    case 3: {
      const int gap = (dialogWidth - yesWidth - noWidth) / 2;
      m_yesButton->move(gap, m_yesButton->y());
      m_noButton->move(gap + yesWidth + 1, m_noButton->y());
      if (m_kind == 3) {
        // Enter alone must not do what cannot be taken back.
        m_yesButton->SetDefault(false);
        m_noButton->SetDefault(true);
        m_noButton->setFocus();
      }
      break;
    }
    case 2:
      m_noButton->hide();
      m_yesButton->setText(QStringLiteral("OK"));
      m_yesButton->move((dialogWidth - yesWidth) / 2, m_yesButton->y());
      break;
    default:
      break;
  }
  // Centred on its owner at the size the message gave it.
  CentreWindow();
  return true;
}

// The box grows to the right for a message that needs it, up to a width that
// still reads as one column; a longer message wraps and the box grows down.
void DlgMessage::FitMessage() {
  constexpr int kReadableChars = 60;
  const QFontMetrics metrics(m_messageLabel->font());
  const int widest = metrics.averageCharWidth() * kReadableChars;
  const bool wraps = metrics.size(0, m_text).width() > widest;
  if (!wraps) {
    m_messageLabel->FitToText();
  } else {
    m_messageLabel->setWordWrap(true);
    const int textHeight = m_messageLabel->heightForWidth(widest);
    const int grown = std::max(0, textHeight - m_messageLabel->height());
    m_messageLabel->resize(widest, std::max(textHeight, m_messageLabel->height()));
    for (CButtonST* button : {m_yesButton, m_noButton}) button->move(button->x(), button->y() + grown);
    resize(width(), height() + grown);
  }
  // A wrapped block reads better with room on its right than a single line needs.
  const int margin = wraps ? 30 : 10;
  const int labelRight = m_messageLabel->geometry().x() + m_messageLabel->width();
  if (labelRight + margin > width()) resize(labelRight + margin, height());
}

void DlgMessage::OnTimer(int id) {
  if (id == kTimerSelfClose) {
    KillTimer(kTimerSelfClose);
    OnOK();
  }
  DlgBase::OnTimer(id);
}

void DlgMessage::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawFrame(painter);
}
