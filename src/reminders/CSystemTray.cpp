#include "reminders/CSystemTray.h"

#include <QApplication>
#include <QWidget>

#include "ui/CommandEvent.h"

namespace {
constexpr int kRetryMs = 5000;
}

CSystemTray::CSystemTray(QObject* parent) : QObject(parent) {
  m_retry.setInterval(kRetryMs);
  connect(&m_retry, &QTimer::timeout, this, &CSystemTray::ShowPendingIcon);
  connect(&m_icon, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) { OnIconMessage(m_iconId, reason); });
}

CSystemTray::~CSystemTray() { RemoveFromTray(); }

bool CSystemTray::AddToTray(QWidget* parent, const QString& tooltip, const QIcon& icon, unsigned iconId,
                            bool hidden) {
  m_enabled = true;
  m_parent = parent;
  m_iconId = iconId;
  m_icon.setIcon(icon);
  m_icon.setToolTip(tooltip.left(kMaxTooltip));
  m_hidden = hidden;
  if (hidden) return true;
  m_showPending = true;
  ShowPendingIcon();
  return !m_hidden;
}

void CSystemTray::ShowPendingIcon() {
  if (!m_showPending) return;
  const bool shown = QSystemTrayIcon::isSystemTrayAvailable();
  if (shown) m_icon.show();
  m_hidden = m_removed = m_showPending = !shown;
  if (m_showPending) {
    m_retry.start();
  } else {
    m_retry.stop();
  }
}

void CSystemTray::SetTargetWindow(QWidget* window) { m_target = window; }

int CSystemTray::OnIconMessage(unsigned iconId, QSystemTrayIcon::ActivationReason reason) {
  if (iconId != m_iconId) return 0;
  QWidget* target = m_target ? m_target.data() : m_parent.data();
  if (!target) return 0;
  if (reason != QSystemTrayIcon::DoubleClick) return 1;  // the icon has no menu
  if (m_defaultByPosition) return 0;
  target->activateWindow();
  QCoreApplication::postEvent(target, new CommandEvent(m_defaultCommand));
  return 1;
}

bool CSystemTray::SetDoubleClickCommand(unsigned command, bool byPosition) {
  m_defaultCommand = command;
  m_defaultByPosition = byPosition;
  return true;
}

bool CSystemTray::RemoveFromTray() {
  m_showPending = false;
  m_retry.stop();
  if (!m_enabled || m_removed) return true;
  m_icon.hide();
  m_hidden = m_removed = true;
  return true;
}

void CSystemTray::SendToTray(QWidget* window, bool /*force*/) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    window->hide();
  } else {
    window->showMinimized();
  }
}

void CSystemTray::RestoreFromTray(QWidget* window, bool /*force*/) {
  window->showNormal();
  window->raise();
  window->activateWindow();
}

QString CSystemTray::Tooltip() const { return m_icon.toolTip(); }
