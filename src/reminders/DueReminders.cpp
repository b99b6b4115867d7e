#include "reminders/DueReminders.h"

#include <climits>
#include <cmath>
#include <utility>

#include "db/DBL.h"
#include "db/OleDate.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "recurrence/RepeatReminders.h"

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

// A repeating item keeps its warning for its next occurrence; what is kept
// instead is that this occurrence has reminded.
DueReminder Remind(RepeatReminders& series, double moment, double now, TaskRecord task) {
  const bool kept = series.MarkReminded(0, task.id, moment) == 0;
  task.due_date = OleDate::DayNumber(moment);
  task.due_time = OleDate::TimeOfDay(moment);
  return DueReminder{kReminderTask, task.id, MinutesLeft(moment, now), task.name, WhenText(task), kept};
}

DueReminder Remind(RepeatReminders& series, double moment, double now, EventRecord event) {
  const bool kept = series.MarkReminded(2, event.id, moment) == 0;
  event.event_date = OleDate::DayNumber(moment);
  event.event_time = OleDate::TimeOfDay(moment);
  return DueReminder{kReminderEvent, event.id, MinutesLeft(moment, now), event.title, WhenText(event), kept};
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
  RepeatReminders series;
  for (const TaskRecord& task : ListTasks()) {
    if (series.Repeats(0, task.id)) {
      if (task.completed || !task.deadline) continue;
      if (auto moment = series.Due(0, task.id, TaskDueMoment(task), task.warning, now)) {
        due.push_back(Remind(series, *moment, now, task));
      }
      continue;
    }
    const int left = DueMinutes(task.warning, TaskDueMoment(task), now);
    if (left < 0) continue;
    due.push_back(Clear(kReminderTask, task.id, left, task.name, WhenText(task)));
  }
  for (const EventRecord& event : ListEvents(-1)) {
    if (series.Repeats(2, event.id)) {
      if (auto moment = series.Due(2, event.id, event.event_date + event.event_time, event.warning, now)) {
        due.push_back(Remind(series, *moment, now, event));
      }
      continue;
    }
    const int left = DueMinutes(event.warning, event.event_date + event.event_time, now);
    if (left < 0) continue;
    due.push_back(Clear(kReminderEvent, event.id, left, event.title, WhenText(event)));
  }
  return due;
}

std::vector<DueReminder> CollectMissedReminders(double now) {
  std::vector<DueReminder> missed;
  RepeatReminders series;
  for (const TaskRecord& task : ListTasks()) {
    if (series.Repeats(0, task.id)) {
      if (task.completed || !task.deadline) continue;
      if (auto moment = series.Missed(0, task.id, TaskDueMoment(task), task.warning, now)) {
        missed.push_back(Remind(series, *moment, now, task));
      }
      continue;
    }
    const double moment = TaskDueMoment(task);
    if (task.warning == 0 || task.completed || !task.deadline || !(moment < now)) continue;
    missed.push_back(Clear(kReminderTask, task.id, MinutesLeft(moment, now), task.name, WhenText(task)));
  }
  for (const EventRecord& event : ListEvents(-1)) {
    if (series.Repeats(2, event.id)) {
      if (auto moment = series.Missed(2, event.id, event.event_date + event.event_time, event.warning, now)) {
        missed.push_back(Remind(series, *moment, now, event));
      }
      continue;
    }
    const double moment = event.event_date + event.event_time;
    if (event.warning == 0 || !(moment < now)) continue;
    missed.push_back(Clear(kReminderEvent, event.id, MinutesLeft(moment, now), event.title, WhenText(event)));
  }
  return missed;
}
