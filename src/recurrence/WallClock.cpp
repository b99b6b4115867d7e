#include "recurrence/WallClock.h"

#include "db/OleDate.h"

icaltimetype FloatingTime(double ole) {
  const OleDate::Parts p = OleDate::ToParts(ole);
  icaltimetype t = icaltime_null_time();
  t.year = p.year;
  t.month = p.month;
  t.day = p.day;
  t.hour = p.hour;
  t.minute = p.minute;
  t.second = p.second;
  return t;
}

icaltimetype FloatingDate(double ole) {
  icaltimetype date = FloatingTime(ole);
  date.is_date = 1;
  date.hour = date.minute = date.second = 0;
  return date;
}

double WallClock(const icaltimetype& t) {
  return OleDate::FromParts({t.year, t.month, t.day, t.is_date ? 0 : t.hour, t.is_date ? 0 : t.minute,
                             t.is_date ? 0 : t.second});
}
