#pragma once

#include <vector>

#include "recurrence/RepeatRule.h"

// Occurrences of repeating records, worked out a block of days at a time and
// kept: the dates page, the month calendar and the reminder scan ask for the
// same few days of the same series again and again, and starting libical's
// iterator costs far more than looking them up. A series is known by its
// rule, its removed and added days and its first occurrence, so any change
// to one of them is a different series; blocks no longer asked for are
// dropped when too many are kept. Safe to call from several threads.
class SeriesCache {
 public:
  // As RepeatSeries::Between, at most 100 occurrences of one day.
  static std::vector<double> Between(const RepeatRule& rule, double firstMoment, int firstDay, int lastDay);
};
