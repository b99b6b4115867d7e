#pragma once

#include <QApplication>

// The QApplication of the organizer. A data-store exception that escapes an
// event handler is reported to the user instead of ending the program.
class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};
