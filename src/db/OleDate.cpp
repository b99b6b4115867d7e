#include "db/OleDate.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

namespace OleDate {

namespace {

constexpr qint64 kEpochJulianDay = 2415019;  // 30 December 1899
constexpr int kSecondsPerDay = 86400;

// Days and seconds of the day, with the time rounded to the nearest second.
// Before the epoch the integer part counts back while the fraction still counts forward.
void Split(double ole, qint64& days, int& seconds) {
  days = static_cast<qint64>(std::trunc(ole));
  seconds = static_cast<int>(std::llround(std::fabs(ole - static_cast<double>(days)) * kSecondsPerDay));
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    days += ole < 0 ? -1 : 1;
  }
}

double Join(qint64 days, int seconds) {
  const double fraction = static_cast<double>(seconds) / kSecondsPerDay;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

}  // namespace

double Now() { return FromQDateTime(QDateTime::currentDateTime()); }

double FromParts(const Parts& p) {
  const qint64 days = QDate(p.year, p.month, p.day).toJulianDay() - kEpochJulianDay;
  return Join(days, p.hour * 3600 + p.minute * 60 + p.second);
}

Parts ToParts(double ole) {
  qint64 days = 0;
  int seconds = 0;
  Split(ole, days, seconds);
  const QDate date = QDate::fromJulianDay(days + kEpochJulianDay);
  return Parts{date.year(), date.month(), date.day(), seconds / 3600, seconds / 60 % 60, seconds % 60};
}

double FromQDateTime(const QDateTime& local) {
  const QTime t = local.time();
  const QDate d = local.date();
  return FromParts(Parts{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

QDateTime ToQDateTime(double ole) {
  const Parts p = ToParts(ole);
  return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

QDate ToQDate(double ole) {
  const Parts p = ToParts(ole);
  return QDate(p.year, p.month, p.day);
}

int DayNumber(double ole) { return static_cast<int>(std::trunc(ole)); }

double TimeOfDay(double ole) { return std::fabs(ole - std::trunc(ole)); }

// A plain date: building a local QDateTime would look up the time zone for every row.
std::string ShortDateText(double ole) {
  static const QLocale locale = QLocale::system();
  return locale.toString(ToQDate(ole), QLocale::ShortFormat).toStdString();
}

std::string TimeText(double ole) {
  const Parts p = ToParts(ole);
  const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d %s", hour12, p.minute, p.hour < 12 ? "AM" : "PM");
  return buffer;
}

}  // namespace OleDate
