#pragma once

#include <array>

// A reminder choice: its caption and the minutes stored for it.
struct WarningInterval {
  const char* label;
  int minutes;
};

// The choices offered wherever a warning is picked, in the order shown. "8 hr"
// is 460 and the days are multiples of 1420: stored records hold these values.
inline constexpr std::array<WarningInterval, 18> kWarningIntervals{{
    {"No Warning", 0},
    {"5 min", 5},
    {"10 min", 10},
    {"15 min", 15},
    {"30 min", 30},
    {"1 hr", 60},
    {"2 hr", 120},
    {"3 hr", 180},
    {"4 hr", 240},
    {"5 hr", 300},
    {"6 hr", 360},
    {"7 hr", 420},
    {"8 hr", 460},
    {"1 day", 1420},
    {"2 day", 2840},
    {"3 day", 4260},
    {"4 day", 5680},
    {"5 day", 7100},
}};
