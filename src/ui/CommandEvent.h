#pragma once

#include <QEvent>

// A command posted to a window, as a menu choice or a tray double-click would
// send it (for example the tray's minimise and restore commands).
class CommandEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1);

  explicit CommandEvent(unsigned command) : QEvent(kType), m_command(command) {}

  unsigned Command() const { return m_command; }

 private:
  unsigned m_command;
};
