#include "recurrence/RepeatSeries.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "db/OleDate.h"
#include "recurrence/WallClock.h"

namespace {

// No call steps libical's iterator more often than this: a rule that yields
// an occurrence every second, or one that must be counted from its first
// occurrence, stays quick however far away the asked days are.
constexpr int kMostSteps = 200000;
// Further than this (in days) a counted rule is taken as endless.
constexpr int64_t kFarDays = 3000000;

// A rule that names no BY part advances by a fixed step, so its COUNT can be
// turned into the moment of its last occurrence; only then can the iterator
// start at the asked days instead of counting from the first occurrence.
bool HasByParts(const icalrecurrencetype& r) {
  return r.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX ||
         r.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
         r.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
         r.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX ||
         r.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

int64_t StepSeconds(icalrecurrencetype_frequency freq) {
  switch (freq) {
    case ICAL_SECONDLY_RECURRENCE: return 1;
    case ICAL_MINUTELY_RECURRENCE: return 60;
    case ICAL_HOURLY_RECURRENCE: return 3600;
    case ICAL_DAILY_RECURRENCE: return 86400;
    case ICAL_WEEKLY_RECURRENCE: return 604800;
    default: return 0;
  }
}

// UNTIL as a wall-clock time like the occurrences: a date means the end of
// that day, a UTC time (what other programs write) the local time it is.
icaltimetype LocalUntil(icaltimetype until) {
  if (until.is_date) {
    until.is_date = 0;
    until.hour = 23;
    until.minute = 59;
    until.second = 59;
  } else if (icaltime_is_utc(until)) {
    const time_t t = icaltime_as_timet_with_zone(until, icaltimezone_get_utc_timezone());
    std::tm local{};
    localtime_r(&t, &local);
    until = icaltime_null_time();
    until.year = local.tm_year + 1900;
    until.month = local.tm_mon + 1;
    until.day = local.tm_mday;
    until.hour = local.tm_hour;
    until.minute = local.tm_min;
    until.second = local.tm_sec;
  }
  until.zone = nullptr;
  return until;
}

std::string WithCount(const std::string& rrule, int count) {
  std::string out;
  size_t start = 0;
  while (start <= rrule.size()) {
    size_t end = rrule.find(';', start);
    if (end == std::string::npos) end = rrule.size();
    std::string part = rrule.substr(start, end - start);
    if (part.rfind("COUNT=", 0) == 0) part = "COUNT=" + std::to_string(count);
    if (!part.empty()) out += (out.empty() ? "" : ";") + part;
    start = end + 1;
  }
  return out;
}

}  // namespace

RepeatSeries::RepeatSeries(const RepeatRule& rule, double firstMoment) : m_rule(rule), m_first(firstMoment) {
  icalerror_clear_errno();
  m_recur = icalrecurrencetype_from_string(rule.rrule.c_str());
  if (m_recur.freq == ICAL_NO_RECURRENCE || icalerrno != ICAL_NO_ERROR) {
    icalerror_clear_errno();
    m_problem = "The repeat rule \"" + rule.rrule + "\" is not understood.";
    return;
  }
  if (!icaltime_is_null_time(m_recur.until)) {
    m_recur.until = LocalUntil(m_recur.until);
    if (icaltime_compare(m_recur.until, FloatingTime(firstMoment)) < 0) {
      m_problem = "The repeat ends before it starts.";
      return;
    }
  }
  if (m_recur.count > 0) {
    const int64_t step = StepSeconds(m_recur.freq);
    if (step > 0 && !HasByParts(m_recur)) {
      const int64_t seconds = int64_t{m_recur.count - 1} * m_recur.interval * step;
      if (seconds / 86400 < kFarDays) {
        icaltimetype last = FloatingTime(firstMoment);
        icaltime_adjust(&last, static_cast<int>(seconds / 86400), 0, 0, static_cast<int>(seconds % 86400));
        m_recur.until = last;
      }
      m_recur.count = 0;
    } else {
      m_counted = true;
    }
  }
}

bool RepeatSeries::HasOccurrence() const { return m_problem.empty() && After(m_first - 1.0 / 86400); }

bool RepeatSeries::Excluded(double moment) const {
  const int day = OleDate::DayNumber(moment);
  return std::find(m_rule.excludedDays.begin(), m_rule.excludedDays.end(), day) != m_rule.excludedDays.end();
}

void RepeatSeries::Walk(double from, const std::function<bool(double)>& visit) const {
  if (m_recur.freq == ICAL_NO_RECURRENCE) return;
  const bool later = !m_counted && from > m_first;
  if (later && !icaltime_is_null_time(m_recur.until) && icaltime_compare(FloatingTime(from), m_recur.until) > 0) return;
  // Setting a later start loses the phase of a rule that steps by hours,
  // minutes or seconds; such a rule starts afresh at one of its steps just
  // before `from` instead, which yields the same occurrences from there on.
  const int64_t step = m_recur.freq < ICAL_DAILY_RECURRENCE ? StepSeconds(m_recur.freq) * m_recur.interval : 0;
  double anchor = m_first;
  if (later && step > 0) anchor += std::floor((from - m_first) * 86400 / step) * step / 86400;
  icalrecur_iterator* it = icalrecur_iterator_new(m_recur, FloatingTime(anchor));
  if (!it) return;  // a rule libical finds can never occur
  if (later && step == 0) icalrecur_iterator_set_start(it, FloatingTime(from));
  for (int steps = 0; steps < kMostSteps; ++steps) {
    const icaltimetype t = icalrecur_iterator_next(it);
    if (icaltime_is_null_time(t) || !visit(WallClock(t))) break;
  }
  icalrecur_iterator_free(it);
}

std::vector<double> RepeatSeries::Between(int firstDay, int lastDay, int perDay) const {
  std::vector<double> found;
  if (!m_problem.empty() || lastDay < firstDay) return found;
  int day = firstDay;
  int onDay = 0;
  // Once a day has its fill, a rule that can start anywhere starts again at
  // the next day rather than stepping through the rest of this one.
  while (day <= lastDay) {
    int nextDay = lastDay + 1;
    Walk(day, [&](double moment) {
      const int d = OleDate::DayNumber(moment);
      if (d > lastDay) return false;
      if (d < firstDay || Excluded(moment)) return true;
      if (found.empty() || OleDate::DayNumber(found.back()) != d) onDay = 0;
      if (onDay >= perDay) {
        if (m_counted) return true;
        nextDay = d + 1;
        return false;
      }
      ++onDay;
      found.push_back(moment);
      return true;
    });
    day = nextDay;
  }
  const double timeOfDay = OleDate::TimeOfDay(m_first);
  for (int added : m_rule.addedDays) {
    const double moment = added + timeOfDay;
    if (added < firstDay || added > lastDay || Excluded(moment)) continue;
    if (std::find(found.begin(), found.end(), moment) == found.end()) found.push_back(moment);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::optional<double> RepeatSeries::After(double moment) const {
  std::optional<double> next;
  Walk(std::max(moment, m_first), [&](double occurrence) {
    if (occurrence <= moment || Excluded(occurrence)) return true;
    next = occurrence;
    return false;
  });
  const double timeOfDay = OleDate::TimeOfDay(m_first);
  for (int added : m_rule.addedDays) {
    const double candidate = added + timeOfDay;
    if (candidate > moment && !Excluded(candidate) && (!next || candidate < *next)) next = candidate;
  }
  return next;
}

std::optional<double> RepeatSeries::LastBetween(double since, double until) const {
  std::optional<double> last;
  // A missed reminder needs only the latest occurrence: a year back is enough
  // for any rule that can start there.
  Walk(std::max(since, until - 366), [&](double occurrence) {
    if (occurrence >= until) return false;
    if (occurrence > since && !Excluded(occurrence)) last = occurrence;
    return true;
  });
  const double timeOfDay = OleDate::TimeOfDay(m_first);
  for (int added : m_rule.addedDays) {
    const double candidate = added + timeOfDay;
    if (candidate > since && candidate < until && !Excluded(candidate) && (!last || candidate > *last)) last = candidate;
  }
  return last;
}

int RepeatSeries::RuleOccurrencesBefore(double moment) const {
  int count = 0;
  icalrecur_iterator* it = icalrecur_iterator_new(m_recur, FloatingTime(m_first));
  if (!it) return 0;
  for (int steps = 0; steps < kMostSteps; ++steps) {
    const icaltimetype t = icalrecur_iterator_next(it);
    if (icaltime_is_null_time(t) || WallClock(t) >= moment) break;
    ++count;
  }
  icalrecur_iterator_free(it);
  return count;
}

RepeatRule RepeatSeries::MovedTo(double moment) const {
  RepeatRule moved = m_rule;
  const icalrecurrencetype original = icalrecurrencetype_from_string(m_rule.rrule.c_str());
  if (original.count > 0) moved.rrule = WithCount(m_rule.rrule, std::max(1, original.count - RuleOccurrencesBefore(moment)));
  const int day = OleDate::DayNumber(moment);
  std::erase_if(moved.excludedDays, [day](int d) { return d < day; });
  std::erase_if(moved.addedDays, [day](int d) { return d <= day; });
  return moved;
}
