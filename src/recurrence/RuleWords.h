#pragma once

#include <string>

#include "recurrence/RepeatRule.h"

// A repeat rule in words for the editors and the list of all events, for a
// series whose first occurrence is on `firstDay`: "Every 2 weeks on Monday and
// Wednesday, until 31 Mar 2027", "Every day, 10 times", "Every year on 9 Dec".
// "" for a rule that does not repeat.
std::string DescribeRepeatRule(const RepeatRule& rule, int firstDay);
