#pragma once

#include <map>
#include <optional>
#include <utility>

#include "recurrence/RepeatRule.h"

// Reminders of records that repeat: every occurrence reminds once, at its
// warning, and the record keeps its warning for the next one. What has
// reminded is kept per series (repeat_rule.reminded), so an occurrence never
// reminds twice and a series missed for many days is caught up once.
class RepeatReminders {
 public:
  // Reads every rule once, for one scan.
  RepeatReminders();

  bool Repeats(int kind, int id) const;
  // The occurrence of the series starting at `first` that is due at `now`
  // (0 <= whole minutes left < warning) and has not reminded yet, if any.
  std::optional<double> Due(int kind, int id, double first, int warning, double now) const;
  // The latest occurrence before `now` that passed without reminding, if any.
  std::optional<double> Missed(int kind, int id, double first, int warning, double now) const;
  // Keeps that the occurrence at `moment` has reminded; 0 on success, else
  // SQLite's code or -1.
  int MarkReminded(int kind, int id, double moment);

 private:
  struct Series {
    RepeatRule rule;
    double reminded = 0;
  };
  std::map<std::pair<int, int>, Series> m_series;
};
