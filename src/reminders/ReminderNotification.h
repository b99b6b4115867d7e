#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QDBusPendingCallWatcher;
class QWidget;

// The desktop notification shown beside one reminder pop-up, through the
// freedesktop.org notification service on the session bus. "Open" brings the
// pop-up up, "Dismiss" closes it; closing the pop-up closes the notification,
// and the user's closing the notification closes the pop-up. Every call is
// asynchronous: without a bus or a notification server the pop-up is all
// there is, and nothing waits. The object deletes itself when done.
class ReminderNotification : public QObject {
  Q_OBJECT

 public:
  // Starts the notification for a pop-up; `critical` asks for urgent display.
  static void Show(QWidget* popup, const QString& body, bool critical);

 private slots:
  void OnActionInvoked(uint id, const QString& action);
  void OnNotificationClosed(uint id, uint reason);

 private:
  ReminderNotification(QWidget* popup, const QString& body, bool critical);

  void OnCapabilities(QDBusPendingCallWatcher* reply);
  void OnNotified(QDBusPendingCallWatcher* reply);
  void OnPopupGone();
  void CloseNotification();

  QPointer<QWidget> m_popup;
  QString m_body;
  bool m_critical;
  uint m_id = 0;  // the server's id, once Notify has answered
  bool m_popupGone = false;
  // After an action the server closes the notification itself; that must not
  // close a pop-up the user has just asked to see.
  bool m_acted = false;
  bool m_serverCloses = false;
};
