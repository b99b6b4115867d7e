#include "reminders/ReminderScan.h"

#include "db/OleDate.h"
#include "reminders/DlgReminder.h"
#include "reminders/DueReminders.h"

void ReminderScan() {
  for (const DueReminder& due : CollectDueReminders(OleDate::Now())) {
    auto* popup = new DlgReminder(nullptr, due.kind, due.id, due.minutesLeft, QString::fromStdString(due.name),
                                  QString::fromStdString(due.when));
    popup->show();
    if (due.kind == kReminderEvent) {
      popup->raise();
      popup->activateWindow();
    }
  }
}
