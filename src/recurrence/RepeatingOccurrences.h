#pragma once

#include <vector>

#include "recurrence/Occurrences.h"

// The occurrences of every repeating task and event of the database. The
// series are read once and their occurrences worked out a block of days at a
// time, and both are kept while the file stays unchanged (by any process), so
// the dates page and the calendar cost little more with a thousand series
// than without. Safe to call from several threads.
class RepeatingOccurrences {
 public:
  // Unsorted; undone tasks only, of a category that exists.
  static std::vector<Occurrence> Between(int firstDay, int lastDay);
};
