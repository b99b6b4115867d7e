#include "reminders/CSystemTray.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QWidget>

#include "app/Paths.h"
#include "ui/CommandEvent.h"

namespace {
constexpr int kRetryMs = 5000;
}

CSystemTray::CSystemTray(QObject* parent)
    : QObject(parent), m_showHide(m_menu.addAction(QString())) {
  m_beforeQuit = m_menu.addSeparator();
  m_menu.setToolTipsVisible(true);
  connect(m_menu.addAction(QStringLiteral("Quit")), &QAction::triggered, this, [this] {
    if (QWidget* target = Target()) target->close();  // as the window's own "X"
  });
  connect(m_showHide, &QAction::triggered, this, [this] {
    QWidget* target = Target();
    const bool shown = target && target->isVisible() && !target->isMinimized();
    if (target) QCoreApplication::postEvent(target, new CommandEvent(shown ? m_hideCommand : m_showCommand));
  });
  connect(&m_menu, &QMenu::aboutToShow, this, &CSystemTray::UpdateMenu);
  UpdateMenu();
  m_icon.setContextMenu(&m_menu);
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

QWidget* CSystemTray::Target() const { return m_target ? m_target.data() : m_parent.data(); }

void CSystemTray::UpdateMenu() {
  const QWidget* target = Target();
  const bool shown = target && target->isVisible() && !target->isMinimized();
  m_showHide->setText(QString::fromLatin1(shown ? "Hide " : "Show ") + QString::fromLatin1(Paths::kAppName));
  m_showHide->setEnabled(target && (shown ? m_hideCommand : m_showCommand) != 0);
}

void CSystemTray::SetShowHideCommands(unsigned show, unsigned hide) {
  m_showCommand = show;
  m_hideCommand = hide;
  UpdateMenu();
}

void CSystemTray::AddCommand(const QString& text, const QString& tip, unsigned command) {
  auto* action = new QAction(text, &m_menu);
  action->setToolTip(tip);
  m_menu.insertAction(m_beforeQuit, action);
  connect(action, &QAction::triggered, this, [this, command] {
    if (QWidget* target = Target()) QCoreApplication::postEvent(target, new CommandEvent(command));
  });
}

bool CSystemTray::IsStatusNotifierHost() {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
    return false;
  }
  QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                         QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
  return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

int CSystemTray::OnIconMessage(unsigned iconId, QSystemTrayIcon::ActivationReason reason) {
  if (iconId != m_iconId) return 0;
  QWidget* target = Target();
  if (!target) return 0;
  // Elsewhere a single click comes before each double click, and must not undo it.
  const bool activates = reason == QSystemTrayIcon::DoubleClick ||
                         (reason == QSystemTrayIcon::Trigger && IsStatusNotifierHost());
  if (!activates) return 1;  // the menu is opened by the notification area itself
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
