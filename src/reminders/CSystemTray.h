#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

class QWidget;

// The program's icon in the notification area. A double click posts the
// default command to the target window; the icon comes back by itself when the
// notification area reappears. Desktops without one are common on Linux, so
// sending a window to the tray then minimises it normally instead of hiding it
// where it could never be found again. Hosts that show icons as
// StatusNotifierItems (KDE Plasma, GNOME's AppIndicator) report a single click
// and may never report a double one: there a single click does the double
// click's work. The icon's menu shows or hides the window, offers the
// commands the window adds to it, and quits.
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
  // The command posted on a double click. A default given by its position in
  // a menu does nothing: the icon's menu has no default item.
  bool SetDoubleClickCommand(unsigned command, bool byPosition);
  // The commands the menu's "Show ..." / "Hide ..." item posts to the target window.
  void SetShowHideCommands(unsigned show, unsigned hide);
  // A menu item, above "Quit", that posts `command` to the target window.
  void AddCommand(const QString& text, const QString& tip, unsigned command);
  // Whether the notification area is a StatusNotifierItem host on the session bus.
  static bool IsStatusNotifierHost();
  bool RemoveFromTray();

  static void SendToTray(QWidget* window, bool force);
  static void RestoreFromTray(QWidget* window, bool force);

  QString Tooltip() const;
  // The icon's menu, for tests.
  QMenu& Menu() { return m_menu; }
  bool IsHidden() const { return m_hidden; }
  bool IsPending() const { return m_showPending; }

 private:
  void ShowPendingIcon();
  QWidget* Target() const;
  void UpdateMenu();

  QSystemTrayIcon m_icon;
  QMenu m_menu;
  QAction* m_showHide;
  QAction* m_beforeQuit;  // the separator; added commands go above it
  unsigned m_showCommand = 0;
  unsigned m_hideCommand = 0;
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
