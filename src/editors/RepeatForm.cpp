#include "editors/RepeatForm.h"

#include <libical/ical.h>

#include <QDate>
#include <cstdlib>
#include <memory>

#include "db/OleDate.h"

namespace {

// libical numbers weekdays from Sunday (1) to Saturday (7).
icalrecurrencetype_weekday IcalWeekday(int mondayFirst) {
  return static_cast<icalrecurrencetype_weekday>((mondayFirst + 1) % 7 + 1);
}

// A BYDAY entry as libical keeps it: the weekday plus eight times its position, negative from the month's end.
short EncodeDay(icalrecurrencetype_weekday weekday, int position) {
  const int magnitude = static_cast<int>(weekday) + 8 * (position < 0 ? -position : position);
  return static_cast<short>(position < 0 ? -magnitude : magnitude);
}

int MondayFirst(icalrecurrencetype_weekday weekday) { return (static_cast<int>(weekday) + 5) % 7; }

bool Unset(short value) { return value == ICAL_RECURRENCE_ARRAY_MAX; }

// Only what the form can show may be set: anything else means the rule has no form.
bool OnlyFormParts(const icalrecurrencetype& recur) {
  return Unset(recur.by_second[0]) && Unset(recur.by_minute[0]) && Unset(recur.by_hour[0]) &&
         Unset(recur.by_year_day[0]) && Unset(recur.by_week_no[0]) && Unset(recur.by_month[0]) &&
         Unset(recur.by_set_pos[0]) && recur.rscale == nullptr;
}

}  // namespace

int WeekdayOfDay(int day) { return OleDate::ToQDate(day).dayOfWeek() - 1; }

int WeekOfMonth(int day) { return (OleDate::ToQDate(day).day() - 1) / 7 + 1; }

bool IsLastWeekdayOfMonth(int day) {
  const QDate date = OleDate::ToQDate(day);
  return date.day() + 7 > date.daysInMonth();
}

std::string RepeatRuleText(const RepeatForm& form, int firstDay) {
  static const icalrecurrencetype_frequency kFrequencies[] = {ICAL_NO_RECURRENCE, ICAL_DAILY_RECURRENCE,
                                                              ICAL_WEEKLY_RECURRENCE, ICAL_MONTHLY_RECURRENCE,
                                                              ICAL_YEARLY_RECURRENCE};
  if (form.frequency == RepeatForm::kNever) return "";
  icalrecurrencetype recur;
  icalrecurrencetype_clear(&recur);
  recur.freq = kFrequencies[form.frequency];
  recur.interval = static_cast<short>(form.interval < 1 ? 1 : form.interval);
  if (form.frequency == RepeatForm::kWeekly && form.weekdays != 0) {
    int slot = 0;
    for (int weekday = 0; weekday < 7; ++weekday) {
      if (form.weekdays & (1u << weekday)) {
        recur.by_day[slot++] = EncodeDay(IcalWeekday(weekday), 0);
      }
    }
    recur.by_day[slot] = ICAL_RECURRENCE_ARRAY_MAX;
  } else if (form.frequency == RepeatForm::kMonthly && form.monthlyOn != RepeatForm::kDayOfMonth) {
    const int position = form.monthlyOn == RepeatForm::kLastWeekday ? -1 : WeekOfMonth(firstDay);
    recur.by_day[0] = EncodeDay(IcalWeekday(WeekdayOfDay(firstDay)), position);
    recur.by_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
  }
  if (form.ending == RepeatForm::kUntilDay) {
    const QDate until = OleDate::ToQDate(form.untilDay);
    recur.until = icaltime_null_date();
    recur.until.year = until.year();
    recur.until.month = until.month();
    recur.until.day = until.day();
    recur.until.is_date = 1;
  } else if (form.ending == RepeatForm::kCount) {
    recur.count = form.count;
  }
  const std::unique_ptr<char, decltype(&std::free)> text(icalrecurrencetype_as_string_r(&recur), &std::free);
  return text ? text.get() : "";
}

std::optional<RepeatForm> RepeatFormOf(const std::string& rrule) {
  if (rrule.empty()) return RepeatForm{};
  icalerror_clear_errno();
  const icalrecurrencetype recur = icalrecurrencetype_from_string(rrule.c_str());
  if (recur.freq == ICAL_NO_RECURRENCE || !OnlyFormParts(recur)) return std::nullopt;
  RepeatForm form;
  form.interval = recur.interval;
  switch (recur.freq) {
    case ICAL_DAILY_RECURRENCE: form.frequency = RepeatForm::kDaily; break;
    case ICAL_WEEKLY_RECURRENCE: form.frequency = RepeatForm::kWeekly; break;
    case ICAL_MONTHLY_RECURRENCE: form.frequency = RepeatForm::kMonthly; break;
    case ICAL_YEARLY_RECURRENCE: form.frequency = RepeatForm::kYearly; break;
    default: return std::nullopt;  // hours, minutes, seconds
  }
  const bool byDay = !Unset(recur.by_day[0]);
  const bool byMonthDay = !Unset(recur.by_month_day[0]);
  if (form.frequency == RepeatForm::kWeekly && !byMonthDay) {
    for (int slot = 0; slot < ICAL_BY_DAY_SIZE && !Unset(recur.by_day[slot]); ++slot) {
      if (icalrecurrencetype_day_position(recur.by_day[slot]) != 0) return std::nullopt;
      form.weekdays |= 1u << MondayFirst(icalrecurrencetype_day_day_of_week(recur.by_day[slot]));
    }
  } else if (form.frequency == RepeatForm::kMonthly && byDay && !byMonthDay && Unset(recur.by_day[1])) {
    // The weekday itself is the first day's: the form cannot name another.
    const int position = icalrecurrencetype_day_position(recur.by_day[0]);
    if (position == -1) form.monthlyOn = RepeatForm::kLastWeekday;
    else if (position >= 1 && position <= 5) form.monthlyOn = RepeatForm::kNthWeekday;
    else return std::nullopt;
  } else if (byDay || byMonthDay) {
    return std::nullopt;
  }
  if (!icaltime_is_null_time(recur.until)) {
    form.ending = RepeatForm::kUntilDay;
    form.untilDay = OleDate::DayNumber(OleDate::FromParts({recur.until.year, recur.until.month, recur.until.day}));
  } else if (recur.count > 0) {
    form.ending = RepeatForm::kCount;
    form.count = recur.count;
  }
  return form;
}
