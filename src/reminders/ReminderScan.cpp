#include "reminders/ReminderScan.h"

#include <QApplication>
#include <QScreen>
#include <vector>

#include "db/OleDate.h"
#include "reminders/DlgReminder.h"
#include "reminders/DueReminders.h"

namespace {

std::vector<const DlgReminder*> OpenPopups() {
  std::vector<const DlgReminder*> popups;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const auto* popup = qobject_cast<DlgReminder*>(window);
    if (popup && popup->isVisible()) popups.push_back(popup);
  }
  return popups;
}

// A warning that could not be cleared is found again a minute later; one
// pop-up for it is enough.
bool IsShown(const DueReminder& due) {
  for (const DlgReminder* popup : OpenPopups()) {
    if (popup->GetKind() == due.kind && popup->GetId() == due.id) return true;
  }
  return false;
}

// Pop-ups open centred; each further one (not yet shown) steps down and right, so none hides another.
void Cascade(DlgReminder* popup) {
  constexpr int kStep = 28;
  const int others = static_cast<int>(OpenPopups().size());
  QPoint place = popup->pos() + QPoint(kStep, kStep) * others;
  if (const QScreen* screen = popup->screen()) {
    const QRect area = screen->availableGeometry();
    place.setX(qMin(place.x(), area.right() - popup->width()));
    place.setY(qMin(place.y(), area.bottom() - popup->height()));
  }
  popup->move(place);
}

}  // namespace

void ReminderScan() {
  for (const DueReminder& due : CollectDueReminders(OleDate::Now())) {
    if (!due.warningCleared && IsShown(due)) continue;
    auto* popup = new DlgReminder(nullptr, due.kind, due.id, due.minutesLeft, QString::fromStdString(due.name),
                                  QString::fromStdString(due.when));
    // A task's pop-up leaves the keyboard where the user is typing; an event's
    // comes to the front.
    popup->setAttribute(Qt::WA_ShowWithoutActivating, due.kind != kReminderEvent);
    popup->Create();  // laid out and centred, so that it can be cascaded
    Cascade(popup);
    popup->show();
    if (due.kind == kReminderEvent) {
      popup->raise();
      popup->activateWindow();
    }
  }
}
