#pragma once

#include <QDateTime>
#include <string>

// Local dates and times as stored: a real number of days since
// 30 December 1899 00:00, the fraction being the time of day.
namespace OleDate {

struct Parts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// The current local date and time, in whole seconds.
double Now();

double FromParts(const Parts& parts);
Parts ToParts(double ole);  // rounded to the nearest second

double FromQDateTime(const QDateTime& local);
QDateTime ToQDateTime(double ole);  // local time
// The moment's day, its time dropped.
QDate ToQDate(double ole);

// The date alone: the integer part, truncated toward zero.
int DayNumber(double ole);
// The time of day alone: 0 up to but not including 1.
double TimeOfDay(double ole);

// The date in the user's locale, short form; the one formatter every window uses.
std::string ShortDateText(double ole);
// "01:30 PM": 12-hour clock, two-digit hour and minute.
std::string TimeText(double ole);

}  // namespace OleDate
