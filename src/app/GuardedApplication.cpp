#include "app/GuardedApplication.h"

#include "app/Message.h"
#include "db/SQLException.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const DBL::SQLException& e) {
    ShowMessage("The organizer met an internal error and did not finish what it was doing:\n\n" + e.GetMessage(),
                kMessageOkNotice);
  }
  return false;
}
