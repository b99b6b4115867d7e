#pragma once

#include <functional>
#include <vector>

#include "reminders/DueReminders.h"

// Decides when to look for missed reminders: once at start-up, and again at a
// scan when the clock has moved on by more than two minutes since the
// previous one. Scans come a minute apart, so a longer gap means the computer
// slept or the clock was put forward, and items may have passed unseen.
class ReminderCatchUp {
 public:
  // The clock gives the current local time as an OLE date.
  explicit ReminderCatchUp(std::function<double()> clock);

  // The missed items at start-up.
  std::vector<DueReminder> AtStartUp();
  // Before each scan: the missed items after a jump of the clock, else none.
  std::vector<DueReminder> BeforeScan();

 private:
  std::function<double()> m_clock;
  double m_previous = 0;
  bool m_started = false;
};
