#include "settings/DlgPassword.h"

#include "editors/EditorControls.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"

namespace {
constexpr int kSyncIcon = 144;
constexpr int kCancelIcon = 166;
}  // namespace

DlgPassword::DlgPassword(const QString& user, const QString& url, QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_user(user),
      m_url(url),
      m_password(qobject_cast<CColorEdit*>(GetDlgItem(kIdPassword))) {
  if (parent) setWindowModality(Qt::WindowModal);
}

bool DlgPassword::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Account Password"));
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdMessage, kIdLabel});
  auto* message = qobject_cast<CColorStatic*>(GetDlgItem(kIdMessage));
  message->setWordWrap(true);
  // The whole address, port included: a host may serve more than one account.
  message->setText(QStringLiteral("The password of %1 at %2 is needed to sync. It is kept only while the organizer "
                                  "runs.")
                       .arg(m_user, m_url));
  message->setAccessibleName(message->text());
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdOk)), kSyncIcon);
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdCancel)), kCancelIcon);
  m_password->setAccessibleName(QStringLiteral("Password"));
  m_password->setEchoMode(QLineEdit::Password);
  m_password->setFocus();
  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgPassword::OnOK() {
  m_typed = m_password->text();
  DlgBase::OnOK();
}

void DlgPassword::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
