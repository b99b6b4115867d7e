#include "reminders/ReminderScan.h"

#include <QApplication>
#include <QScreen>
#include <vector>

#include "db/OleDate.h"
#include "reminders/DlgMissedReminders.h"
#include "reminders/DlgReminder.h"
#include "reminders/DueReminders.h"
#include "reminders/ReminderCatchUp.h"
#include "reminders/ReminderNotification.h"

namespace {

// More missed reminders than this come in one summary.
constexpr size_t kMostMissedPopups = 5;
// An event this near is told urgently.
constexpr int kUrgentMinutes = 5;

ReminderCatchUp& CatchUp() {
  static ReminderCatchUp catchUp(&OleDate::Now);
  return catchUp;
}

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
void Cascade(QWidget* popup) {
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

// Lays out a new pop-up beside the others, shows it and its notification.
void Present(DlgBase* popup, const QString& body, bool urgent) {
  // Shown above, but the keyboard stays where the user is typing: keys meant
  // for a field must never close a reminder unseen. Only when none of the
  // program's windows is active does the pop-up take the focus.
  const bool takeFocus = QApplication::activeWindow() == nullptr;
  popup->setAttribute(Qt::WA_ShowWithoutActivating, !takeFocus);
  popup->Create();  // laid out and centred, so that it can be cascaded
  Cascade(popup);
  popup->show();
  popup->raise();
  if (takeFocus) popup->activateWindow();
  ReminderNotification::Show(popup, body, urgent);
}

void OpenEach(const std::vector<DueReminder>& items) {
  for (const DueReminder& due : items) {
    if (!due.warningCleared && IsShown(due)) continue;
    auto* popup = new DlgReminder(nullptr, due.kind, due.id, due.minutesLeft, QString::fromStdString(due.name),
                                  QString::fromStdString(due.when));
    const bool event = due.kind == kReminderEvent;
    Present(popup, popup->GetMessageText(), event && due.minutesLeft >= 0 && due.minutesLeft < kUrgentMinutes);
  }
}

void OpenMissed(const std::vector<DueReminder>& missed) {
  if (missed.size() <= kMostMissedPopups) {
    OpenEach(missed);
    return;
  }
  auto* summary = new DlgMissedReminders(missed);
  Present(summary, summary->GetMessageText() + '\n' + summary->GetListText(), false);
}

}  // namespace

void CatchUpMissedReminders() { OpenMissed(CatchUp().AtStartUp()); }

void ReminderScan() {
  OpenMissed(CatchUp().BeforeScan());
  OpenEach(CollectDueReminders(OleDate::Now()));
}
