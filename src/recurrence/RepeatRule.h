#pragma once

#include <string>
#include <vector>

// How a record repeats: an RRULE value with its removed and added days.
struct RepeatRule {
  std::string rrule;              // RFC 5545 RRULE value, e.g. "FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20270331"; "" = does not repeat
  std::vector<int> excludedDays;  // EXDATE: day numbers of occurrences removed ("this one only")
  std::vector<int> addedDays;     // RDATE: extra days
  bool operator==(const RepeatRule&) const = default;
};
