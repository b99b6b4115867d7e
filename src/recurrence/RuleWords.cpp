#include "recurrence/RuleWords.h"

#include <libical/ical.h>

#include <QDate>
#include <vector>

#include "db/OleDate.h"

namespace {

const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kOrdinals[] = {"", "first", "second", "third", "fourth", "fifth"};

bool Unset(short value) { return value == ICAL_RECURRENCE_ARRAY_MAX; }

// "Monday", "Monday and Wednesday", "Monday, Wednesday and Friday".
std::string Listed(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  return text;
}

// "second Wednesday", "last Friday", "Tuesday".
std::string WeekdayWords(short encoded) {
  const int position = icalrecurrencetype_day_position(encoded);
  const std::string name = kWeekdays[icalrecurrencetype_day_day_of_week(encoded) - 1];
  if (position == 0) return name;
  if (position == -1) return "last " + name;
  if (position >= 1 && position <= 5) return std::string(kOrdinals[position]) + " " + name;
  if (position == -2) return "second to last " + name;
  return std::to_string(position) + ". " + name;
}

// "day 9", "the last day", "the 2nd to last day".
std::string MonthDayWords(short monthDay) {
  if (monthDay == -1) return "the last day";
  if (monthDay < 0) return "the " + std::to_string(-monthDay) + ". to last day";
  return "day " + std::to_string(monthDay);
}

std::string Every(int interval, const char* unit) {
  if (interval <= 1) return std::string("Every ") + unit;
  return "Every " + std::to_string(interval) + " " + unit + "s";
}

std::string Plural(size_t count, const char* unit) {
  return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

std::string DayMonth(const QDate& date) { return std::to_string(date.day()) + " " + kMonths[date.month() - 1]; }

}  // namespace

std::string DescribeRepeatRule(const RepeatRule& rule, int firstDay) {
  if (rule.rrule.empty()) return "";
  icalerror_clear_errno();
  const icalrecurrencetype recur = icalrecurrencetype_from_string(rule.rrule.c_str());
  if (recur.freq == ICAL_NO_RECURRENCE) return "Repeats by a rule that cannot be read";
  const QDate first = OleDate::ToQDate(firstDay);
  const int interval = recur.interval;

  std::vector<std::string> weekdays;
  for (int slot = 0; slot < ICAL_BY_DAY_SIZE && !Unset(recur.by_day[slot]); ++slot) {
    weekdays.push_back(WeekdayWords(recur.by_day[slot]));
  }
  std::vector<std::string> monthDays;
  for (int slot = 0; slot < ICAL_BY_MONTHDAY_SIZE && !Unset(recur.by_month_day[slot]); ++slot) {
    monthDays.push_back(MonthDayWords(recur.by_month_day[slot]));
  }

  std::string text;
  switch (recur.freq) {
    case ICAL_SECONDLY_RECURRENCE: text = Every(interval, "second"); break;
    case ICAL_MINUTELY_RECURRENCE: text = Every(interval, "minute"); break;
    case ICAL_HOURLY_RECURRENCE: text = Every(interval, "hour"); break;
    case ICAL_DAILY_RECURRENCE: text = Every(interval, "day"); break;
    case ICAL_WEEKLY_RECURRENCE:
      text = Every(interval, "week") + " on " +
             (weekdays.empty() ? std::string(kWeekdays[first.dayOfWeek() % 7]) : Listed(weekdays));
      break;
    case ICAL_MONTHLY_RECURRENCE:
      text = Every(interval, "month") + " on ";
      if (!monthDays.empty()) text += Listed(monthDays);
      else if (!weekdays.empty()) text += "the " + Listed(weekdays);
      else text += "day " + std::to_string(first.day());
      break;
    case ICAL_YEARLY_RECURRENCE:
      if (!Unset(recur.by_month[0]) && monthDays.size() == 1 && Unset(recur.by_month[1]) &&
          recur.by_month_day[0] > 0) {
        const int month = icalrecurrencetype_month_month(recur.by_month[0]);
        text = Every(interval, "year") + " on " + std::to_string(recur.by_month_day[0]) + " " + kMonths[(month - 1) % 12];
      } else {
        text = Every(interval, "year") + " on " + DayMonth(first);
      }
      break;
    default: return "Repeats by a rule that cannot be read";
  }
  // Weekday filters of a daily or hourly rule ("every day on weekdays").
  if (!weekdays.empty() && recur.freq != ICAL_WEEKLY_RECURRENCE && recur.freq != ICAL_MONTHLY_RECURRENCE) {
    text += " on " + Listed(weekdays);
  }

  if (!icaltime_is_null_time(recur.until)) {
    const QDate until(recur.until.year, recur.until.month, recur.until.day);
    text += ", until " + DayMonth(until) + " " + std::to_string(until.year());
  } else if (recur.count == 1) {
    text += ", once";
  } else if (recur.count > 1) {
    text += ", " + std::to_string(recur.count) + " times";
  }
  if (!rule.excludedDays.empty()) text += ", except " + Plural(rule.excludedDays.size(), "day");
  if (!rule.addedDays.empty()) text += ", and on " + Plural(rule.addedDays.size(), "more day");
  return text;
}
