#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

class QWidget;

// The program's icon in the notification area. A double click posts the
// default command to the target window; the icon comes back by itself when the
// notification area reappears. Desktops without one are common on Linux, so
// sending a window to the tray then minimises it normally instead of hiding it
// where it could never be found again.
class CSystemTray : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxTooltip = 63;

  explicit CSystemTray(QObject* parent = nullptr);
  ~CSystemTray() override;

  // Puts the icon into the notification area unless `hidden`. Returns whether
  // it is shown; when it could not be, it is shown as soon as it can be.
  bool AddToTray(QWidget* parent, const QString& tooltip, const QIcon& icon, unsigned iconId, bool hidden);
  void SetTargetWindow(QWidget* window);
  // The icon's activation; returns 1 when handled.
  int OnIconMessage(unsigned iconId, QSystemTrayIcon::ActivationReason reason);
  // The command posted on a double click. A position in a menu is never
  // found: the icon has no menu, so such a default does nothing.
  bool SetDoubleClickCommand(unsigned command, bool byPosition);
  bool RemoveFromTray();

  static void SendToTray(QWidget* window, bool force);
  static void RestoreFromTray(QWidget* window, bool force);

  QString Tooltip() const;
  bool IsHidden() const { return m_hidden; }
  bool IsPending() const { return m_showPending; }

 private:
  void ShowPendingIcon();

  QSystemTrayIcon m_icon;
  QTimer m_retry;  // while an icon waits for a notification area
  QPointer<QWidget> m_target;
  QPointer<QWidget> m_parent;
  unsigned m_iconId = 0;
  bool m_enabled = false;
  bool m_hidden = true;
  bool m_removed = true;
  bool m_showPending = false;
  unsigned m_defaultCommand = 0;
  bool m_defaultByPosition = true;
};
