#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <libical/ical.h>

#include "recurrence/RepeatRule.h"

// The occurrences of one repeating record, worked out by libical's recurrence
// iterator from the record's first occurrence. Times are wall-clock times
// (floating, in iCalendar's words): an occurrence at 09:00 stays at 09:00
// across a daylight-saving change or a move to another time zone.
//
// Work is lazy and bounded: asking for a few days starts the iterator at
// those days where the rule allows it, and no call steps the iterator more
// than a fixed number of times, whatever the rule (a rule every second for
// ever costs no more than the days asked for).
class RepeatSeries {
 public:
  RepeatSeries(const RepeatRule& rule, double firstMoment);

  // "" when the rule can be worked out, else why not, as one sentence.
  const std::string& Problem() const { return m_problem; }
  // False for a rule that never yields a day, such as 30 February every year.
  bool HasOccurrence() const;

  // The occurrences (OLE dates) whose day lies in firstDay..lastDay, in order,
  // removed days left out and added days in; at most `perDay` on one day.
  std::vector<double> Between(int firstDay, int lastDay, int perDay = 100) const;
  // The first occurrence after `moment`, if any.
  std::optional<double> After(double moment) const;
  // The last occurrence after `since` and before `until`, if any.
  std::optional<double> LastBetween(double since, double until) const;
  // How many occurrences of the rule itself (added days not counted, removed
  // ones counted, as COUNT counts them) come before `moment`.
  int RuleOccurrencesBefore(double moment) const;

  // The rule moved on to start at `moment`, one of its occurrences: COUNT
  // keeps counting what is left, days before `moment` are dropped.
  RepeatRule MovedTo(double moment) const;

 private:
  // Steps through the rule's own occurrences from `from` on (from the first
  // occurrence when the rule cannot start later) until `visit` returns false.
  void Walk(double from, const std::function<bool(double)>& visit) const;
  bool Excluded(double moment) const;

  RepeatRule m_rule;
  double m_first = 0;
  icalrecurrencetype m_recur{};
  bool m_counted = false;  // COUNT had to stay: the iterator must start at the first occurrence
  std::string m_problem;
};
