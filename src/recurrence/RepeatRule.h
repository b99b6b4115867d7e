#pragma once

#include <string>
#include <vector>

// How a task or an event repeats, as iCalendar says it.
struct RepeatRule {
  std::string rrule;              // RRULE value, e.g. "FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20270331"; "" = does not repeat
  std::vector<int> excludedDays;  // EXDATE: day numbers of occurrences removed ("this one only")
  std::vector<int> addedDays;     // RDATE: extra days
  bool operator==(const RepeatRule&) const = default;
};
