#include "reminders/ReminderCatchUp.h"

#include <cmath>
#include <utility>

namespace {
constexpr long kLongestGapSeconds = 120;
constexpr double kSecondsPerDay = 86400;
}  // namespace

ReminderCatchUp::ReminderCatchUp(std::function<double()> clock) : m_clock(std::move(clock)) {}

std::vector<DueReminder> ReminderCatchUp::AtStartUp() {
  m_previous = m_clock();
  m_started = true;
  return CollectMissedReminders(m_previous);
}

std::vector<DueReminder> ReminderCatchUp::BeforeScan() {
  const double now = m_clock();
  // A clock put back needs nothing: every item still lies ahead of the scan.
  // Counted in whole seconds, so that the rounding of dates cannot tip the balance.
  const bool jumped = m_started && std::lround((now - m_previous) * kSecondsPerDay) > kLongestGapSeconds;
  m_previous = now;
  m_started = true;
  return jumped ? CollectMissedReminders(now) : std::vector<DueReminder>{};
}
