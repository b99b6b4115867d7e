#pragma once

#include <string>
#include <vector>

// What a reminder is about; the numbers are the pop-up's kinds.
enum ReminderKind {
  kReminderEvent = 0,
  kReminderTask = 1,
};

// A task or event whose warning time has come.
struct DueReminder {
  int kind = kReminderTask;
  int id = -1;
  int minutesLeft = 0;
  std::string name;  // the task's name or the event's title
  std::string when;  // short date, a blank, and the time when the item has one
  // False when the stored warning could not be cleared: a later scan will find
  // the item due again.
  bool warningCleared = false;
};

// Whole minutes from `now` until `moment` (both OLE dates), rounded to the
// half second and truncated toward zero: 59 seconds past still counts 0.
int MinutesLeft(double moment, double now);

// Stores a new warning for a task or an event. Returns 0 on success,
// otherwise SQLite's code or -1 (no database).
int SetReminderWarning(int kind, int id, int warning);

// Finds every task (in task-list order) and then every event (by time of day)
// with 0 <= minutes left < warning, clears each one's warning so that it fires
// once, and returns them in that order.
std::vector<DueReminder> CollectDueReminders(double now);

// Finds the items the scan can no longer catch: a warning still set and a
// moment that has already passed (the program was not running, or the computer
// slept, through the warning window). Completed tasks and tasks without a
// completion date are left alone. Clears each one's warning, as the scan does,
// and returns them in the scan's order; minutes left are negative once a whole
// minute has passed.
std::vector<DueReminder> CollectMissedReminders(double now);
