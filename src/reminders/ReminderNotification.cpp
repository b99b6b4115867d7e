#include "reminders/ReminderNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDesktopEntry = QStringLiteral("orvale-organizer");
constexpr uint kClosedByUser = 2;
constexpr uchar kUrgencyNormal = 1;
constexpr uchar kUrgencyCritical = 2;
constexpr int kNeverExpires = 0;  // the pop-up stays until answered; so does this

QDBusMessage Call(const QString& method) { return QDBusMessage::createMethodCall(kService, kPath, kInterface, method); }

// Servers that read markup would swallow a "<" or an "&" in a name.
QString EscapeMarkup(QString text) {
  text.replace('&', QLatin1String("&amp;"));
  text.replace('<', QLatin1String("&lt;"));
  text.replace('>', QLatin1String("&gt;"));
  return text;
}

}  // namespace

void ReminderNotification::Show(QWidget* popup, const QString& body, bool critical) {
  if (!QDBusConnection::sessionBus().isConnected()) return;
  new ReminderNotification(popup, body, critical);
}

ReminderNotification::ReminderNotification(QWidget* popup, const QString& body, bool critical)
    : m_popup(popup), m_body(body), m_critical(critical) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
              SLOT(OnActionInvoked(uint, QString)));
  bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
              SLOT(OnNotificationClosed(uint, uint)));
  connect(popup, &QObject::destroyed, this, &ReminderNotification::OnPopupGone);
  auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(Call(QStringLiteral("GetCapabilities"))), this);
  connect(reply, &QDBusPendingCallWatcher::finished, this, &ReminderNotification::OnCapabilities);
}

void ReminderNotification::OnCapabilities(QDBusPendingCallWatcher* reply) {
  reply->deleteLater();
  const QDBusPendingReply<QStringList> capabilities = *reply;
  // No server (or a broken one), or the pop-up already answered: nothing to show.
  if (capabilities.isError() || m_popupGone) {
    deleteLater();
    return;
  }
  QDBusMessage notify = Call(QStringLiteral("Notify"));
  const QVariantMap hints{
      {QStringLiteral("desktop-entry"), kDesktopEntry},
      {QStringLiteral("urgency"), QVariant::fromValue(m_critical ? kUrgencyCritical : kUrgencyNormal)},
      {QStringLiteral("sound-name"), QStringLiteral("message-new-instant")},
  };
  const QStringList actions{QStringLiteral("open"), QStringLiteral("Open"), QStringLiteral("dismiss"),
                            QStringLiteral("Dismiss")};
  const bool markup = capabilities.value().contains(QStringLiteral("body-markup"));
  notify << QStringLiteral("Orvale Organizer") << uint(0) << kDesktopEntry << QStringLiteral("Orvale Reminder!")
         << (markup ? EscapeMarkup(m_body) : m_body) << actions << hints << kNeverExpires;
  auto* notified = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), this);
  connect(notified, &QDBusPendingCallWatcher::finished, this, &ReminderNotification::OnNotified);
}

void ReminderNotification::OnNotified(QDBusPendingCallWatcher* reply) {
  reply->deleteLater();
  const QDBusPendingReply<uint> id = *reply;
  if (id.isError()) {
    deleteLater();
    return;
  }
  m_id = id.value();
  // The pop-up was answered while the server was still busy.
  if (m_popupGone) CloseNotification();
}

void ReminderNotification::OnActionInvoked(uint id, const QString& action) {
  if (id == 0 || id != m_id || !m_popup) return;
  m_acted = true;
  if (action == QLatin1String("open")) {
    m_popup->show();
    m_popup->raise();
    m_popup->activateWindow();
  } else if (action == QLatin1String("dismiss")) {
    // The server closes a notification whose action was taken; closing it
    // again from here would only race with that.
    m_serverCloses = true;
    m_popup->close();  // as its OK without a reset: nothing is written
  }
}

void ReminderNotification::OnNotificationClosed(uint id, uint reason) {
  if (id == 0 || id != m_id) return;
  m_id = 0;
  // Expired notifications leave the pop-up: it is the reminder that stays.
  if (reason == kClosedByUser && !m_acted && m_popup) m_popup->close();
  deleteLater();
}

void ReminderNotification::OnPopupGone() {
  m_popupGone = true;
  if (m_id != 0 && !m_serverCloses) CloseNotification();
}

void ReminderNotification::CloseNotification() {
  QDBusMessage close = Call(QStringLiteral("CloseNotification"));
  close << m_id;
  QDBusConnection::sessionBus().asyncCall(close);
  m_id = 0;
  deleteLater();
}
