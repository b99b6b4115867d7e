#pragma once

#include <vector>

// One day's showing of an event or a task due: a record that does not repeat
// has one, a series one per day its rule gives.
struct Occurrence {
  int kind = 2;          // 0 task, 2 event
  int id = -1;           // the record (a series has one record)
  int day = 0;           // day number of this occurrence
  double time = 0;       // fraction of a day; meaningful when hasTime
  bool hasTime = false;
  bool repeats = false;  // part of a series (shows the repeat mark)
  bool operator==(const Occurrence&) const = default;
};

// Events (each occurrence) and undone tasks with a date, from firstDay through
// lastDay, sorted by day, then all-day before timed, then time. Works lazily:
// only the asked days are worked out, whatever the rule.
std::vector<Occurrence> OccurrencesBetween(int firstDay, int lastDay);
// The days from firstDay through lastDay that hold at least one event
// occurrence or undone task due (the calendar's bold days).
std::vector<int> DaysWithItems(int firstDay, int lastDay);

// "This one only": removes the occurrence on `day` from the series (an
// EXDATE). 0 on success; -1 when the record does not repeat or has no
// occurrence that day, else SQLite's code.
int ExcludeOccurrence(int kind, int id, int day);
// "This one only" for an edit: takes the occurrence on `day` out of the series
// and makes it a record of its own (kept as an override of the series,
// RECURRENCE-ID on export). Returns the new record's id (> 0), or <= 0 on
// failure. The caller then stores the editor's fields into that record.
int DetachOccurrence(int kind, int id, int day);
// A repeating task ticked done: moves the task to its next occurrence (due
// date and time updated, stays undone) and returns 1; on the last occurrence
// (or a task that does not repeat) marks it completed and returns 2; <= 0 on
// failure.
int CompleteTaskOccurrence(int id);
