#pragma once

#include <optional>
#include <string>

// A repeat rule in the terms a person picks it by in the editors: how often,
// on which weekdays or which day of the month, and until when. It turns into
// an RRULE value and back; rules of other shapes (from imported files) have no
// form and are kept as they are.
struct RepeatForm {
  enum Frequency { kNever, kDaily, kWeekly, kMonthly, kYearly };
  // A monthly rule repeats on the first day's day of the month, on its n-th
  // weekday (the second Wednesday), or on the last such weekday of the month.
  enum MonthlyOn { kDayOfMonth, kNthWeekday, kLastWeekday };
  enum Ending { kForever, kUntilDay, kCount };

  Frequency frequency = kNever;
  int interval = 1;
  unsigned weekdays = 0;  // weekly: bit 0 Monday ... bit 6 Sunday; 0 is the first day's weekday
  MonthlyOn monthlyOn = kDayOfMonth;
  Ending ending = kForever;
  int untilDay = 0;  // the last day that may hold an occurrence
  int count = 0;

  bool operator==(const RepeatForm&) const = default;
};

// The RRULE value of the form for a series starting on `firstDay`; "" for kNever.
std::string RepeatRuleText(const RepeatForm& form, int firstDay);

// The form of an RRULE value, or nothing when the rule has a shape the form
// cannot hold (hours, several months, set positions, ...). "" is kNever.
std::optional<RepeatForm> RepeatFormOf(const std::string& rrule);

// The weekday of a day number: 0 Monday ... 6 Sunday.
int WeekdayOfDay(int day);
// Which of its weekday in the month the day is: 1 for the first ... 5 for the fifth.
int WeekOfMonth(int day);
// True when no later day of the month falls on the same weekday.
bool IsLastWeekdayOfMonth(int day);
