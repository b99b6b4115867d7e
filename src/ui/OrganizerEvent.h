#pragma once

#include <QEvent>

// The main window's private messages, posted so that they run after the
// handler that caused them has finished.
class OrganizerEvent : public QEvent {
 public:
  enum Message {
    kTabChanged = 2025,    // index of the tab now current
    kSaveSettings = 2026,  // write the settings row
    kEditCurrent = 2027,   // edit the current view's selected record
  };

  explicit OrganizerEvent(Message message, int wParam = 0)
      : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam) {}

  int WParam() const { return m_wParam; }

 private:
  int m_wParam;
};
