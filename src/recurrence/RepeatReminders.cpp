#include "recurrence/RepeatReminders.h"

#include "db/DBL.h"
#include "db/OleDate.h"
#include "recurrence/RepeatRules.h"
#include "recurrence/RepeatSeries.h"
#include "recurrence/SeriesCache.h"
#include "reminders/DueReminders.h"

namespace {
constexpr double kMinutesPerDay = 1440;
// The kept moment is stored to six decimals (under a tenth of a second):
// anything within a second of it is the occurrence that reminded.
constexpr double kSecond = 1.0 / 86400;
}  // namespace

RepeatReminders::RepeatReminders() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select kind, record_id, rrule, excluded, added, reminded from repeat_rule");
  while (rows.Next()) {
    m_series[{rows.GetInt("kind"), rows.GetInt("record_id")}] = Series{ReadRepeatRule(rows), rows.GetDouble("reminded")};
  }
}

bool RepeatReminders::Repeats(int kind, int id) const { return m_series.count({kind, id}) > 0; }

std::optional<double> RepeatReminders::Due(int kind, int id, double first, int warning, double now) const {
  const auto found = m_series.find({kind, id});
  if (found == m_series.end() || warning <= 0) return std::nullopt;
  const Series& series = found->second;
  // A minute back: an occurrence 59 seconds past still has 0 minutes left.
  const int firstDay = OleDate::DayNumber(now - 1 / kMinutesPerDay);
  const int lastDay = OleDate::DayNumber(now + (warning + 1) / kMinutesPerDay);
  for (double moment : SeriesCache::Between(series.rule, first, firstDay, lastDay)) {
    const int left = MinutesLeft(moment, now);
    if (moment > series.reminded + kSecond && left >= 0 && left < warning) return moment;
  }
  return std::nullopt;
}

std::optional<double> RepeatReminders::Missed(int kind, int id, double first, int warning, double now) const {
  const auto found = m_series.find({kind, id});
  if (found == m_series.end() || warning <= 0) return std::nullopt;
  const Series& series = found->second;
  return RepeatSeries(series.rule, first).LastBetween(series.reminded + kSecond, now);
}

int RepeatReminders::MarkReminded(int kind, int id, double moment) {
  const auto found = m_series.find({kind, id});
  if (found != m_series.end()) found->second.reminded = moment;
  return DBL::ExecuteUpdate("update repeat_rule set reminded = " + DBL::RealToString(moment) +
                            " where kind = " + DBL::IntToString(kind) + " and record_id = " + DBL::IntToString(id));
}
