#include "reminders/DueReminders.h"

#include <climits>
#include <cmath>
#include <optional>
#include <utility>

#include "db/DBL.h"
#include "db/OleDate.h"
#include "records/Events.h"
#include "records/Tasks.h"

namespace {

constexpr double kHalfSecond = 5.787037037037037e-6;  // in days
constexpr double kMinutesPerDay = 1440;

// The minutes left when the item is due at `now`, otherwise -1.
int DueMinutes(int warning, double moment, double now) {
  if (warning == 0) return -1;
  const int left = MinutesLeft(moment, now);
  return left >= 0 && left < warning ? left : -1;
}

std::string WhenText(const TaskRecord& task) {
  return OleDate::ShortDateText(task.due_date) + " " +
         (task.deadline_time ? OleDate::TimeText(task.due_time) : std::string());
}

// Every event shows a time; an all-day one shows 12:00 AM.
std::string WhenText(const EventRecord& event) {
  return OleDate::ShortDateText(event.event_date) + " " + OleDate::TimeText(event.event_time);
}

// Clears the item's warning, so that it fires once, and describes it.
DueReminder Clear(int kind, int id, int left, const std::string& name, std::string when) {
  const bool cleared = SetReminderWarning(kind, id, 0) == 0;
  return DueReminder{kind, id, left, name, std::move(when), cleared};
}

// The tasks for which `minutesLeft` has a value, in list order, with their
// warnings cleared. The tasks are read one by one, not held all at once; the
// warnings are cleared after the last one, when the file is no longer read.
template <class MinutesLeftIfDue>
void CollectDueTasks(std::vector<DueReminder>& reminders, MinutesLeftIfDue minutesLeft) {
  std::vector<std::pair<TaskRecord, int>> found;
  ListTasks([&](const TaskRecord& task) {
    if (const std::optional<int> left = minutesLeft(task)) found.emplace_back(task, *left);
  });
  for (const auto& [task, left] : found) {
    reminders.push_back(Clear(kReminderTask, task.id, left, task.name, WhenText(task)));
  }
}

}  // namespace

int MinutesLeft(double moment, double now) {
  const double span = moment - now;
  const double minutes = std::trunc((span >= 0 ? span + kHalfSecond : span - kHalfSecond) * kMinutesPerDay);
  // Dates far out of range must not overflow the conversion; such items are never due.
  if (!(minutes > INT_MIN)) return INT_MIN;
  return minutes < INT_MAX ? static_cast<int>(minutes) : INT_MAX;
}

int SetReminderWarning(int kind, int id, int warning) {
  const char* prefix = kind == kReminderTask ? "update task set warning = " : "update event set warning = ";
  return DBL::ExecuteUpdate(prefix + DBL::IntToString(warning) + " where id = " + DBL::IntToString(id));
}

std::vector<DueReminder> CollectDueReminders(double now) {
  std::vector<DueReminder> due;
  CollectDueTasks(due, [now](const TaskRecord& task) -> std::optional<int> {
    const int left = DueMinutes(task.warning, TaskDueMoment(task), now);
    if (left < 0) return std::nullopt;
    return left;
  });
  for (const EventRecord& event : ListEvents(-1)) {
    const int left = DueMinutes(event.warning, event.event_date + event.event_time, now);
    if (left < 0) continue;
    due.push_back(Clear(kReminderEvent, event.id, left, event.title, WhenText(event)));
  }
  return due;
}

std::vector<DueReminder> CollectMissedReminders(double now) {
  std::vector<DueReminder> missed;
  CollectDueTasks(missed, [now](const TaskRecord& task) -> std::optional<int> {
    const double moment = TaskDueMoment(task);
    if (task.warning == 0 || task.completed || !task.deadline || !(moment < now)) return std::nullopt;
    return MinutesLeft(moment, now);
  });
  for (const EventRecord& event : ListEvents(-1)) {
    const double moment = event.event_date + event.event_time;
    if (event.warning == 0 || !(moment < now)) continue;
    missed.push_back(Clear(kReminderEvent, event.id, MinutesLeft(moment, now), event.title, WhenText(event)));
  }
  return missed;
}
