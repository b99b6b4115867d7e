#include "reminders/ReminderScan.h"

#include <QApplication>

#include "db/OleDate.h"
#include "reminders/DlgReminder.h"
#include "reminders/DueReminders.h"

namespace {

// A warning that could not be cleared is found again a minute later; one
// pop-up for it is enough.
bool IsShown(const DueReminder& due) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const auto* popup = qobject_cast<DlgReminder*>(window);
    if (popup && popup->isVisible() && popup->GetKind() == due.kind && popup->GetId() == due.id) return true;
  }
  return false;
}

}  // namespace

void ReminderScan() {
  for (const DueReminder& due : CollectDueReminders(OleDate::Now())) {
    if (!due.warningCleared && IsShown(due)) continue;
    auto* popup = new DlgReminder(nullptr, due.kind, due.id, due.minutesLeft, QString::fromStdString(due.name),
                                  QString::fromStdString(due.when));
    popup->show();
    if (due.kind == kReminderEvent) {
      popup->raise();
      popup->activateWindow();
    }
  }
}
