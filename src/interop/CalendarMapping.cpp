#include "interop/CalendarMapping.h"

#include <libical/ical.h>

#include <QDateTime>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "db/OleDate.h"
#include "interop/ContactMapping.h"
#include "interop/ContentLines.h"
#include "interop/InteropError.h"
#include "interop/KeptComponent.h"
#include "interop/VCalendarUpgrade.h"
#include "interop/VCard.h"
#include "recurrence/RepeatRules.h"
#include "recurrence/WallClock.h"
#include "reminders/WarningIntervals.h"

namespace Interop {

namespace {

constexpr size_t kSubjectLimit = 100;
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 9999;

struct ComponentFree {
  void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// libical's default is to abort on a parse error; the files it reads here
// come from anywhere.
void KeepLibicalQuiet() {
  static const bool quiet = [] {
    icalerror_set_errors_are_fatal(0);
    return true;
  }();
  (void)quiet;
}

ComponentPtr Parse(const std::string& text) {
  KeepLibicalQuiet();
  return ComponentPtr(icalparser_parse_string(text.c_str()));
}

std::string TextOf(icalcomponent* component) {
  char* text = icalcomponent_as_ical_string_r(component);
  std::string result = text ? text : "";
  free(text);
  return result;
}

// Texts as the records hold them: no control characters but line breaks and tabs.
std::string Clean(const char* text) {
  std::string out;
  if (!text) return out;
  for (const char* c = text; *c; ++c) {
    if (static_cast<unsigned char>(*c) >= 0x20 || *c == '\n' || *c == '\t') out += *c;
  }
  return out;
}

// libical's iterators over a component's children or properties, as a list
// that stays valid while they are removed.
template <class Item, class Kind>
std::vector<Item*> Collect(icalcomponent* parent, Kind kind, Item* (*first)(icalcomponent*, Kind),
                           Item* (*next)(icalcomponent*, Kind)) {
  std::vector<Item*> items;
  for (Item* item = first(parent, kind); item; item = next(parent, kind)) items.push_back(item);
  return items;
}

std::vector<icalcomponent*> Children(icalcomponent* parent, icalcomponent_kind kind) {
  return Collect(parent, kind, icalcomponent_get_first_component, icalcomponent_get_next_component);
}

std::vector<icalproperty*> Properties(icalcomponent* component, icalproperty_kind kind) {
  return Collect(component, kind, icalcomponent_get_first_property, icalcomponent_get_next_property);
}

std::string Date(const icaltimetype& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
  return text;
}

// Seconds since 1970 of a local wall-clock time, by the C library's zone
// rules, read once per file (see ToLocal). A time the clocks skip counts with
// the offset from before the change (02:30 is 03:30); one they pass twice is
// the first of the two.
long long LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm wall{};
  wall.tm_year = year - 1900;
  wall.tm_mon = month - 1;
  wall.tm_mday = day;
  wall.tm_hour = hour;
  wall.tm_min = minute;
  wall.tm_sec = second;
  const time_t asUtc = timegm(&wall);
  const auto offset = [](time_t at) {
    std::tm local{};
    return localtime_r(&at, &local) ? local.tm_gmtoff : 0L;
  };
  // The offsets a day either side: the moment has one of them.
  const long before = offset(asUtc - 86400);
  const long after = offset(asUtc + 86400);
  const time_t early = asUtc - before;
  const time_t late = asUtc - after;
  const bool earlyFits = offset(early) == before;
  const bool lateFits = offset(late) == after;
  if (earlyFits && lateFits) return std::min(early, late);
  return lateFits ? late : early;
}

// Seconds since 1970 of a time; a date or a floating time is local.
long long Seconds(const icaltimetype& t) {
  if (t.is_date || (!t.zone && !icaltime_is_utc(t))) {
    return t.is_date ? LocalSeconds(t.year, t.month, t.day, 0, 0, 0)
                     : LocalSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second);
  }
  return static_cast<long long>(
      icaltime_as_timet_with_zone(t, t.zone ? t.zone : icaltimezone_get_utc_timezone()));
}

// The time as the organizer stores it: local date (OLE) and time of day.
struct LocalTime {
  double ole = 0;
  bool timed = false;
};

// The C library reads the zone's rules once (ReadCalendar asks it to, for a
// zone changed since); a local QDateTime checks the zone file again for every
// time, a system call per event.
LocalTime ToLocal(const icaltimetype& t) {
  if (t.is_date || (!t.zone && !icaltime_is_utc(t))) return {WallClock(t), !t.is_date};
  const time_t seconds = static_cast<time_t>(Seconds(t));
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return {OleDate::FromQDateTime(QDateTime::fromSecsSinceEpoch(seconds)), true};
  return {OleDate::FromParts({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                              local.tm_sec}),
          true};
}

// A date-time the organizer can store: a real day and time, in the years it keeps.
void CheckYear(const icaltimetype& t, int line, const char* what) {
  if (!QDate::isValid(t.year, t.month, t.day) || !QTime::isValid(t.is_date ? 0 : t.hour, t.is_date ? 0 : t.minute, 0)) {
    throw InteropError(line, std::string("the ") + what + " " + Date(t) + " is not a valid date and time");
  }
  if (t.year < kFirstYear || t.year > kLastYear || (t.year == kLastYear && t.month == 12 && t.day == 31)) {
    throw InteropError(line, std::string("the ") + what + " " + Date(t) + " is outside the years " +
                                 std::to_string(kFirstYear) + " to " + std::to_string(kLastYear));
  }
}

// What libical could not read in a property the mapping needs is an error of
// the file; elsewhere it stays in the kept text.
void CheckErrors(icalcomponent* component, int line) {
  for (icalproperty* error : Properties(component, ICAL_XLICERROR_PROPERTY)) {
    const std::string text = Clean(icalproperty_get_xlicerror(error));
    for (const char* name : {"DTSTART", "DTEND", "DUE", "TRIGGER", "COMPLETED", "PRIORITY", "LAST-MODIFIED"}) {
      if (text.find(name) != std::string::npos) throw InteropError(line, "the file cannot be read: " + text);
    }
  }
}

// Minutes the first alarm is before `anchor`, the moment the record's warning
// counts from (a task's due time, an event's start); nothing without an alarm.
std::optional<long long> AlarmBefore(icalcomponent* component, long long anchor, std::optional<long long> start,
                                     std::optional<long long> end, int line) {
  const std::vector<icalcomponent*> alarms = Children(component, ICAL_VALARM_COMPONENT);
  if (alarms.empty()) return std::nullopt;
  icalcomponent* alarm = alarms.front();
  CheckErrors(alarm, line);
  icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
  if (!trigger) throw InteropError(line, "an alarm (VALARM) without a TRIGGER");
  const icaltriggertype when = icalproperty_get_trigger(trigger);
  if (icaltriggertype_is_bad_trigger(when)) throw InteropError(line, "an alarm whose TRIGGER makes no sense");
  long long at = 0;
  if (!icaltime_is_null_time(when.time)) {
    CheckYear(when.time, line, "alarm");
    at = Seconds(when.time);
  } else {
    icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
    const bool fromEnd = related && icalparameter_get_related(related) == ICAL_RELATED_END;
    const std::optional<long long> base = fromEnd ? (end ? end : start) : (start ? start : end);
    at = base.value_or(anchor) + icaldurationtype_as_int(when.duration);
  }
  return (anchor - at) / 60;
}

std::vector<std::string> Categories(icalcomponent* component) {
  std::vector<std::string> names;
  for (icalproperty* p : Properties(component, ICAL_CATEGORIES_PROPERTY)) {
    // libical gives the values of one property joined by commas, escaped.
    char* value = icalproperty_get_value_as_string_r(p);
    for (const std::string& name : SplitValue(value ? value : "", ',')) {
      if (!name.empty()) names.push_back(name);
    }
    free(value);
  }
  return names;
}

std::string Joined(icalcomponent* component, icalproperty_kind kind) {
  std::vector<std::string> texts;
  for (icalproperty* p : Properties(component, kind)) texts.push_back(Clean(icalvalue_get_text(icalproperty_get_value(p))));
  return JoinNonEmpty(texts, "\n");
}

std::string TextProperty(icalcomponent* component, icalproperty_kind kind) {
  icalproperty* p = icalcomponent_get_first_property(component, kind);
  return p ? Clean(icalvalue_get_text(icalproperty_get_value(p))) : "";
}

int PriorityId(icalcomponent* component) {
  icalproperty* p = icalcomponent_get_first_property(component, ICAL_PRIORITY_PROPERTY);
  const int priority = p ? icalproperty_get_priority(p) : 0;
  if (priority >= 1 && priority <= 4) return 1;
  if (priority >= 6 && priority <= 9) return 3;
  return 2;
}

void ReadTask(icalcomponent* c, InteropItem& item) {
  TaskRecord& t = item.task;
  t.name = TextProperty(c, ICAL_SUMMARY_PROPERTY);
  t.description = Joined(c, ICAL_DESCRIPTION_PROPERTY);
  t.priority_id = PriorityId(c);
  t.warning = 0;
  const icalproperty_status status = icalcomponent_get_status(c);
  icalproperty* percent = icalcomponent_get_first_property(c, ICAL_PERCENTCOMPLETE_PROPERTY);
  t.completed = status == ICAL_STATUS_COMPLETED || icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY) ||
                        (percent && icalproperty_get_percentcomplete(percent) >= 100)
                    ? 1
                    : 0;
  if (!icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY)) return;
  const icaltimetype due = icalcomponent_get_due(c);
  if (icaltime_is_null_time(due)) return;
  CheckYear(due, item.line, "due date");
  const LocalTime local = ToLocal(due);
  t.deadline = 1;
  t.deadline_time = local.timed ? 1 : 0;
  t.due_date = OleDate::DayNumber(local.ole);
  t.due_time = local.timed ? OleDate::TimeOfDay(local.ole) : 0;
  std::optional<long long> start;
  icaltimetype begins = icaltime_null_time();
  if (icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY)) {
    begins = icalcomponent_get_dtstart(c);
    if (!icaltime_is_null_time(begins)) CheckYear(begins, item.line, "start");
  }
  // The moments count only for an alarm; a local one costs a look at the zone.
  if (!icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT)) return;
  if (!icaltime_is_null_time(begins)) start = Seconds(begins);
  const long long dueAt = Seconds(due);
  if (const std::optional<long long> before = AlarmBefore(c, dueAt, start, dueAt, item.line)) {
    t.warning = NearestWarning(*before);
  }
}

void ReadEvent(icalcomponent* c, InteropItem& item) {
  EventRecord& e = item.event;
  e.title = TextProperty(c, ICAL_SUMMARY_PROPERTY);
  e.note = Joined(c, ICAL_DESCRIPTION_PROPERTY);
  const icaltimetype start = icalcomponent_get_dtstart(c);
  CheckYear(start, item.line, "start");
  const LocalTime local = ToLocal(start);
  e.event_date = OleDate::DayNumber(local.ole);
  e.using_time = local.timed ? 1 : 0;
  e.event_time = local.timed ? OleDate::TimeOfDay(local.ole) : 0;
  icaltimetype until = icaltime_null_time();
  if (icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY)) {
    until = icalcomponent_get_dtend(c);
    if (!icaltime_is_null_time(until)) CheckYear(until, item.line, "end");
  }
  if (!icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT)) return;
  const long long startAt = Seconds(start);
  std::optional<long long> end;
  if (!icaltime_is_null_time(until)) end = Seconds(until);
  if (const std::optional<long long> before = AlarmBefore(c, startAt, startAt, end, item.line)) {
    e.warning = NearestWarning(*before);
  }
}

void ReadNote(icalcomponent* c, InteropItem& item) {
  NoteRecord& n = item.note;
  const std::string summary = TextProperty(c, ICAL_SUMMARY_PROPERTY);
  n.subject = FirstCharacters(summary, kSubjectLimit);
  std::string content = Joined(c, ICAL_DESCRIPTION_PROPERTY);
  // Nothing of a long subject is lost: it heads the text.
  if (n.subject != summary) content = content.empty() ? summary : summary + "\n\n" + content;
  n.content = content;
  n.last_updated = OleDate::Now();
  for (icalproperty_kind kind : {ICAL_LASTMODIFIED_PROPERTY, ICAL_DTSTAMP_PROPERTY, ICAL_DTSTART_PROPERTY}) {
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    if (!p) continue;
    const icaltimetype t = icalvalue_get_datetime(icalproperty_get_value(p));
    if (icaltime_is_null_time(t) || t.year < kFirstYear || t.year > kLastYear ||
        !QDate::isValid(t.year, t.month, t.day)) {
      continue;
    }
    n.last_updated = ToLocal(t).ole;
    break;
  }
}

// A date-time property's time with the zone its TZID names, looked up in the
// calendar around it, else among libical's own zones.
icaltimetype ZonedTime(icalproperty* p, icaltimetype t, icalcomponent* component) {
  if (t.is_date || t.zone || icaltime_is_utc(t)) return t;
  icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
  if (!tzid || !icalparameter_get_tzid(tzid)) return t;
  icalcomponent* calendar = icalcomponent_get_parent(component);
  icaltimezone* zone = calendar ? icalcomponent_get_timezone(calendar, icalparameter_get_tzid(tzid)) : nullptr;
  if (!zone) zone = icaltimezone_get_builtin_timezone(icalparameter_get_tzid(tzid));
  if (zone) t.zone = zone;
  return t;
}

// The local day of a time in a property that may name a zone.
std::optional<int> LocalDay(icalproperty* p, icaltimetype t, icalcomponent* component) {
  if (icaltime_is_null_time(t) || t.year < kFirstYear || t.year > kLastYear || !QDate::isValid(t.year, t.month, t.day)) {
    return std::nullopt;
  }
  return OleDate::DayNumber(ToLocal(ZonedTime(p, t, component)).ole);
}

// The first occurrence a record's series starts from: a task's due moment,
// an event's start; nothing for a task without a due date.
std::optional<double> FirstMoment(const InteropItem& item) {
  if (item.kind == 0) {
    if (!item.task.deadline) return std::nullopt;
    return TaskDueMoment(item.task);
  }
  return item.event.event_date + (item.event.using_time ? item.event.event_time : 0.0);
}

// The master's RRULE, EXDATEs and RDATEs as the record's rule. Returns why the
// item cannot be imported, or "". A task without a due date has nothing to
// repeat from: its rule stays in the kept component only.
std::string ReadRepeat(icalcomponent* master, InteropItem& item) {
  for (icalproperty* error : Properties(master, ICAL_XLICERROR_PROPERTY)) {
    const std::string text = Clean(icalproperty_get_xlicerror(error));
    if (text.find("RRULE") != std::string::npos) return "the repeat rule (RRULE) cannot be read: " + text;
  }
  icalproperty* rrule = icalcomponent_get_first_property(master, ICAL_RRULE_PROPERTY);
  const std::optional<double> first = FirstMoment(item);
  if (!rrule || !first) return "";
  char* value = icalproperty_get_value_as_string_r(rrule);
  RepeatRule rule{value ? value : "", {}, {}};
  free(value);
  const std::string why = CheckRepeatRule(rule.rrule, *first);
  if (!why.empty()) {
    std::string reason = why;
    reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    if (reason.back() == '.') reason.pop_back();
    return "the repeat rule " + rule.rrule + " cannot be used: " + reason;
  }
  for (icalproperty* p : Properties(master, ICAL_EXDATE_PROPERTY)) {
    if (const std::optional<int> day = LocalDay(p, icalproperty_get_exdate(p), master)) rule.excludedDays.push_back(*day);
  }
  for (icalproperty* p : Properties(master, ICAL_RDATE_PROPERTY)) {
    const icaldatetimeperiodtype when = icalproperty_get_rdate(p);
    const icaltimetype t = icaltime_is_null_time(when.time) ? when.period.start : when.time;
    if (const std::optional<int> day = LocalDay(p, t, master)) rule.addedDays.push_back(*day);
  }
  item.repeat = std::move(rule);
  return "";
}

int KindOf(icalcomponent_kind kind) {
  switch (kind) {
    case ICAL_VTODO_COMPONENT: return 0;
    case ICAL_VEVENT_COMPONENT: return 2;
    case ICAL_VJOURNAL_COMPONENT: return 3;
    default: return -1;
  }
}

// The first and last line (indexes) of each component inside a calendar, by
// the component's name, in file order. libical keeps the order of each kind
// but puts time zones first.
using Ranges = std::map<std::string, std::vector<std::pair<size_t, size_t>>>;

Ranges ComponentRanges(const std::vector<ContentLine>& lines) {
  Ranges ranges;
  std::vector<std::pair<size_t, size_t>>* current = nullptr;
  int depth = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string name = PropertyName(lines[i].text);
    if (name == "BEGIN") {
      if (++depth == 2) {
        current = &ranges[Upper(lines[i].text.substr(6))];
        current->emplace_back(i, i);
      }
    } else if (name == "END") {
      if (depth-- == 2 && current) current->back().second = i;
    }
  }
  return ranges;
}

// The components of one record: the master and its overrides.
struct Group {
  int kind = -1;
  int line = 0;
  std::vector<icalcomponent*> parts;
  std::string text;  // theirs, as the file wrote them
};

}  // namespace

int NearestWarning(long long before) {
  for (const WarningInterval& interval : kWarningIntervals) {
    if (interval.minutes > 0 && interval.minutes >= before) return interval.minutes;
  }
  return kWarningIntervals.back().minutes;
}

ReadResult ReadCalendar(std::string_view file) {
  tzset();  // the zone as it is now, for ToLocal
  std::vector<ContentLine> lines = SplitContentLines(file);
  UpgradeVCalendar(lines);
  CheckStructure(lines, "VCALENDAR");
  const Ranges ranges = ComponentRanges(lines);
  std::map<std::string, size_t> taken;  // of each kind of component, how many were met
  std::string clean;
  for (const ContentLine& line : lines) {
    clean += line.text;
    clean += "\r\n";
  }
  ComponentPtr root = Parse(clean);
  if (!root) throw InteropError(1, "libical cannot read the calendar");
  std::vector<icalcomponent*> calendars;
  if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
    calendars.push_back(root.get());
  } else {
    calendars = Children(root.get(), ICAL_VCALENDAR_COMPONENT);
  }

  ReadResult result;
  std::vector<Group> groups;
  std::map<std::pair<int, std::string>, size_t> byUid;
  std::map<std::string, std::string> zones;  // TZID -> VTIMEZONE text
  // Time zones by their TZID, as the file wrote them (libical reorders them).
  if (const auto of = ranges.find("VTIMEZONE"); of != ranges.end()) {
    for (const auto& [first, last] : of->second) {
      for (size_t i = first; i <= last; ++i) {
        if (PropertyName(lines[i].text) != "TZID") continue;
        const size_t colon = lines[i].text.find(':');
        zones.emplace(colon == std::string::npos ? "" : lines[i].text.substr(colon + 1), RawText(file, lines, first, last));
        break;
      }
    }
  }
  for (icalcomponent* calendar : calendars) {
    for (icalcomponent* c : Children(calendar, ICAL_ANY_COMPONENT)) {
      const icalcomponent_kind type = icalcomponent_isa(c);
      if (type == ICAL_VTIMEZONE_COMPONENT) continue;
      const std::string name = icalcomponent_kind_to_string(type);
      const auto of = ranges.find(name);
      const size_t index = taken[name]++;
      const bool known = of != ranges.end() && index < of->second.size();
      const int line = known ? lines[of->second[index].first].line : 0;
      const std::string raw =
          known ? RawText(file, lines, of->second[index].first, of->second[index].second) : TextOf(c);
      if (type == ICAL_VTIMEZONE_COMPONENT) continue;
      const int kind = KindOf(type);
      if (kind < 0) {
        result.skipped.push_back({-1, line, std::string(icalcomponent_kind_to_string(type)) +
                                                " is not a task, event or note"});
        continue;
      }
      const char* uid = icalcomponent_get_uid(c);
      const std::string key = uid && *uid ? Clean(uid) : DerivedUid(raw);
      const auto [found, added] = byUid.emplace(std::make_pair(kind, key), groups.size());
      if (added) groups.push_back({kind, line, {}, {}});
      groups[found->second].parts.push_back(c);
      groups[found->second].text += raw;
    }
  }

  for (const auto& [key, at] : byUid) {
    const Group& group = groups[at];
    InteropItem item;
    item.kind = group.kind;
    item.uid = key.second;
    item.line = group.line;
    icalcomponent* master = group.parts.front();
    for (icalcomponent* part : group.parts) {
      if (!icalcomponent_get_first_property(part, ICAL_RECURRENCEID_PROPERTY)) {
        master = part;
        break;
      }
    }
    CheckErrors(master, item.line);
    const std::string& parts = group.text;
    // The time zones it refers to travel with it.
    std::set<std::string> used;
    for (icalcomponent* part : group.parts) {
      icalcomponent_foreach_tzid(
          part,
          [](icalparameter* tzid, void* names) {
            static_cast<std::set<std::string>*>(names)->insert(Clean(icalparameter_get_tzid(tzid)));
          },
          &used);
    }
    for (const std::string& tzid : used) {
      const auto zone = zones.find(tzid);
      if (zone != zones.end()) item.component += zone->second;
    }
    item.component += parts;
    if (group.kind == 2 && !icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY)) {
      result.skipped.push_back({2, item.line, "an event without a start (DTSTART)"});
      continue;
    }
    if (group.kind == 0) ReadTask(master, item);
    if (group.kind == 2) ReadEvent(master, item);
    if (group.kind == 3) ReadNote(master, item);
    if (group.kind != 2) item.categories = Categories(master);
    if (group.kind == 0 || group.kind == 2) {
      if (const std::string why = ReadRepeat(master, item); !why.empty()) {
        result.skipped.push_back({group.kind, item.line, why});
        continue;
      }
    }
    std::vector<InteropItem> overrides;
    if (!item.repeat.rrule.empty()) {
      // Each occurrence the file changed on its own leaves the series and
      // becomes a record of its own, linked to it.
      for (icalcomponent* part : group.parts) {
        icalproperty* rid = icalcomponent_get_first_property(part, ICAL_RECURRENCEID_PROPERTY);
        if (part == master || !rid) continue;
        const std::optional<int> day = LocalDay(rid, icalproperty_get_recurrenceid(rid), part);
        if (!day || !icalcomponent_get_first_property(part, group.kind == 2 ? ICAL_DTSTART_PROPERTY : ICAL_DUE_PROPERTY)) {
          continue;  // stays in the kept component
        }
        CheckErrors(part, item.line);
        InteropItem one;
        one.kind = group.kind;
        // Known by its day in the series, however the file writes the moment.
        one.uid = item.uid + "#" + std::to_string(*day);
        one.line = item.line;
        one.seriesUid = item.uid;
        one.seriesDay = *day;
        one.component = TextOf(part);
        if (group.kind == 0) ReadTask(part, one);
        if (group.kind == 2) ReadEvent(part, one);
        one.categories = item.categories;
        item.repeat.excludedDays.push_back(*day);
        overrides.push_back(std::move(one));
      }
    }
    result.items.push_back(std::move(item));
    for (InteropItem& one : overrides) result.items.push_back(std::move(one));
  }
  // A series comes before the occurrences taken out of it. The order is
  // found on indexes: moving whole items about took longer than sorting.
  std::vector<size_t> order(result.items.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return result.items[a].line < result.items[b].line; });
  std::vector<InteropItem> sorted;
  sorted.reserve(order.size());
  for (size_t i : order) sorted.push_back(std::move(result.items[i]));
  result.items = std::move(sorted);
  return result;
}

namespace {

// A property libical made, as its folded lines; the property is freed.
std::string Written(icalproperty* property) {
  if (!property) return "";
  char* text = icalproperty_as_ical_string_r(property);
  std::string result = text ? text : "";
  free(text);
  icalproperty_free(property);
  return result;
}

void SetText(KeptComponent& k, const char* name, const std::string& text, icalproperty* (*make)(const char*)) {
  k.Set(name, text.empty() ? std::string() : Written(make(text.c_str())));
}

// The kept text with what every component needs: its UID and DTSTAMP.
KeptComponent OpenKept(const std::string& kept, const char* kind, const std::string& uid, bool occurrence = false) {
  KeepLibicalQuiet();  // what is written is made by libical too
  KeptComponent k(kept, kind, occurrence);
  if (!k.Has("UID")) k.Set("UID", Written(icalproperty_new_uid(uid.c_str())));
  if (!k.Has("DTSTAMP")) {
    k.Set("DTSTAMP", Written(icalproperty_new_dtstamp(icaltime_current_time_with_zone(icaltimezone_get_utc_timezone()))));
  }
  return k;
}

// The lines of a task's priority, status and completion, of which there are
// only a few: made once rather than for every task.
const std::string& PriorityLine(int priority) {
  static const std::string high = Written(icalproperty_new_priority(1));
  static const std::string medium = Written(icalproperty_new_priority(5));
  static const std::string low = Written(icalproperty_new_priority(9));
  return priority == 1 ? high : priority == 9 ? low : medium;
}

const std::string& StatusLine(bool completed) {
  static const std::string done = Written(icalproperty_new_status(ICAL_STATUS_COMPLETED));
  static const std::string open = Written(icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
  return completed ? done : open;
}

const std::string& FullyCompleteLine() {
  static const std::string line = Written(icalproperty_new_percentcomplete(100));
  return line;
}

icaltimetype UtcOf(double ole) {
  const OleDate::Parts p = OleDate::ToParts(ole);
  return icaltime_from_timet_with_zone(
      static_cast<time_t>(LocalSeconds(p.year, p.month, p.day, p.hour, p.minute, p.second)), 0,
      icaltimezone_get_utc_timezone());
}

icaltimetype MomentOf(double day, bool timed, double time) {
  return timed ? UtcOf(OleDate::DayNumber(day) + time) : FloatingDate(OleDate::DayNumber(day));
}

// The time of a DTSTART or DTEND line in UTC, floating or a date, read
// without a parser; none for a time in a zone or anything else.
std::optional<icaltimetype> ZonelessTime(const std::string& line) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::string head = Upper(std::string_view(line).substr(0, colon));
  if (head.find('"') != std::string::npos || head.find("TZID") != std::string::npos) return std::nullopt;
  const icaltimetype t = icaltime_from_string(line.c_str() + colon + 1);
  if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t)) return std::nullopt;
  return t;
}

// Seconds from the kept start to the kept end; none without both. Only
// those two lines are read, beside the time zones they may name.
std::optional<long long> KeptLength(const KeptComponent& k) {
  const std::vector<std::string> starts = k.Lines("DTSTART");
  const std::vector<std::string> ends = k.Lines("DTEND");
  if (starts.empty() || ends.empty()) return std::nullopt;
  const std::optional<icaltimetype> start = ZonelessTime(starts.front());
  const std::optional<icaltimetype> end = ZonelessTime(ends.front());
  if (start && end) return Seconds(*end) - Seconds(*start);
  const ComponentPtr calendar = Parse("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + k.Zones() + "BEGIN:VEVENT\r\n" +
                                      starts.front() + "\r\n" + ends.front() + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  if (!calendar) return std::nullopt;
  icalcomponent* event = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
  if (!event || !icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY) ||
      !icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
    return std::nullopt;
  }
  return Seconds(icalcomponent_get_dtend(event)) - Seconds(icalcomponent_get_dtstart(event));
}

void SetAlarm(KeptComponent& k, int minutes, bool fromEnd, const std::string& text) {
  if (minutes <= 0) {
    k.SetComponents("VALARM", std::string());
    return;
  }
  std::string alarm = "BEGIN:VALARM\r\n" + Written(icalproperty_new_action(ICAL_ACTION_DISPLAY));
  icaltriggertype trigger{icaltime_null_time(), icaldurationtype_from_int(-minutes * 60)};
  icalproperty* p = icalproperty_new_trigger(trigger);
  if (fromEnd) icalproperty_add_parameter(p, icalparameter_new_related(ICAL_RELATED_END));
  alarm += Written(p);
  alarm += Written(icalproperty_new_description(text.empty() ? "Reminder" : text.c_str()));
  k.SetComponents("VALARM", alarm + "END:VALARM\r\n");
}

// RRULE, EXDATE and RDATE as the record's rule says, its occurrences at the
// start's time of day, written as the start is (UTC, or a DATE).
void SetRepeat(KeptComponent& k, const RepeatOut& repeat, bool timed, double timeOfDay) {
  std::string rrule, exdates, rdates;
  icalrecurrencetype recur = icalrecurrencetype_from_string(repeat.rule.rrule.c_str());
  if (!repeat.rule.rrule.empty() && recur.freq != ICAL_NO_RECURRENCE) {
    if (!icaltime_is_null_time(recur.until)) {
      const icaltimetype until = recur.until;
      double local = OleDate::FromParts({until.year, until.month, until.day, 23, 59, 59});
      if (!until.is_date) local = icaltime_is_utc(until) ? ToLocal(until).ole : WallClock(until);
      recur.until = timed ? UtcOf(local) : FloatingDate(local);
    }
    rrule = Written(icalproperty_new_rrule(recur));
    for (int day : repeat.rule.excludedDays) {
      if (std::find(repeat.overridden.begin(), repeat.overridden.end(), day) != repeat.overridden.end()) continue;
      exdates += Written(icalproperty_new_exdate(MomentOf(day, timed, timeOfDay)));
    }
    for (int day : repeat.rule.addedDays) {
      icaldatetimeperiodtype when{};
      when.time = MomentOf(day, timed, timeOfDay);
      when.period = icalperiodtype_null_period();
      rdates += Written(icalproperty_new_rdate(when));
    }
  }
  k.Set("RRULE", rrule);
  k.Set("EXDATE", exdates);
  k.Set("RDATE", rdates);
}

// Writes what repeats about a record over its kept component: the rule of a
// series, whose kept overrides are now records of their own and written as
// such; the RECURRENCE-ID of one of those.
void WriteRepeat(KeptComponent& k, const RepeatOut& repeat, const RecordFields& before, const RecordFields& now,
                 bool timed, double timeOfDay, bool moved) {
  if (repeat.recurrenceId) {
    const double at = *repeat.recurrenceId;
    k.Set("RECURRENCE-ID", Written(icalproperty_new_recurrenceid(MomentOf(at, timed, OleDate::TimeOfDay(at)))));
    return;
  }
  if (!now.count("repeat") && !before.count("repeat")) return;  // never repeated here: the kept text holds all
  const bool dropped = k.DropOverrides();
  if (dropped || FieldChanged(before, now, "repeat") || (now.count("repeat") && moved)) {
    SetRepeat(k, repeat, timed, timeOfDay);
  }
}

}  // namespace

std::string ComponentForTask(const TaskRecord& task, const std::string& category, const std::string& uid,
                             const std::string& kept, const RecordFields& before, const RepeatOut& repeat) {
  KeptComponent k = OpenKept(kept, "VTODO", uid, repeat.recurrenceId.has_value());
  RecordFields now = FieldsOf(task);
  AddRepeat(now, repeat.rule);
  const auto changed = [&](const char* field) { return FieldChanged(before, now, field); };
  if (changed("name")) SetText(k, "SUMMARY", task.name, icalproperty_new_summary);
  if (changed("description")) SetText(k, "DESCRIPTION", task.description, icalproperty_new_description);
  if (changed("category")) SetText(k, "CATEGORIES", category, icalproperty_new_categories);
  if (changed("priority")) {
    k.Set("PRIORITY", PriorityLine(task.priority_id == 1 ? 1 : task.priority_id == 3 ? 9 : 5));
  }
  if (changed("due") || changed("due_time")) {
    k.Set("DUE", task.deadline ? Written(icalproperty_new_due(MomentOf(task.due_date, task.deadline_time, task.due_time)))
                               : std::string());
  }
  if (changed("completed")) {
    if (task.completed) {
      k.Set("STATUS", StatusLine(true));
      k.Set("COMPLETED",
            Written(icalproperty_new_completed(icaltime_current_time_with_zone(icaltimezone_get_utc_timezone()))));
      k.Set("PERCENT-COMPLETE", FullyCompleteLine());
    } else {
      k.Set("STATUS", StatusLine(false));
      k.Set("COMPLETED", std::string());
      k.Set("PERCENT-COMPLETE", std::string());
    }
  }
  if (changed("warning") || changed("due")) SetAlarm(k, task.deadline ? task.warning : 0, true, task.name);
  if (task.deadline) {
    const bool timed = task.deadline_time != 0;
    // The rule counts from the start: a repeating task starts when it is due.
    if (!repeat.rule.rrule.empty() && !repeat.recurrenceId && !k.Has("DTSTART")) {
      k.Set("DTSTART", Written(icalproperty_new_dtstart(MomentOf(task.due_date, timed, task.due_time))));
    }
    WriteRepeat(k, repeat, before, now, timed, timed ? task.due_time : 0, changed("due") || changed("due_time"));
  }
  return k.Text();
}

std::string ComponentForEvent(const EventRecord& event, const std::string& uid, const std::string& kept,
                              const RecordFields& before, const RepeatOut& repeat) {
  KeptComponent k = OpenKept(kept, "VEVENT", uid, repeat.recurrenceId.has_value());
  RecordFields now = FieldsOf(event);
  AddRepeat(now, repeat.rule);
  const auto changed = [&](const char* field) { return FieldChanged(before, now, field); };
  if (changed("title")) SetText(k, "SUMMARY", event.title, icalproperty_new_summary);
  if (changed("note")) SetText(k, "DESCRIPTION", event.note, icalproperty_new_description);
  if (changed("date") || changed("time")) {
    // The length is kept: a new start moves the end with it.
    const std::optional<long long> length = KeptLength(k);
    const icaltimetype start = MomentOf(event.event_date, event.using_time, event.event_time);
    k.Set("DTSTART", Written(icalproperty_new_dtstart(start)));
    k.Set("DURATION", std::string());
    std::string end;
    if (!event.using_time) {
      const long long days = length && *length > 86400 ? *length / 86400 : 1;
      const double endDay = OleDate::DayNumber(event.event_date) + static_cast<double>(days);
      end = Written(icalproperty_new_dtend(FloatingDate(endDay)));
    } else if (length && *length > 0 && !start.is_date) {
      end = Written(icalproperty_new_dtend(icaltime_from_timet_with_zone(
          static_cast<time_t>(Seconds(start) + *length), 0, icaltimezone_get_utc_timezone())));
    }
    k.Set("DTEND", end);
  }
  if (changed("warning")) SetAlarm(k, event.warning, false, event.title);
  WriteRepeat(k, repeat, before, now, event.using_time != 0, event.using_time ? event.event_time : 0,
              changed("date") || changed("time"));
  return k.Text();
}

std::string ComponentForNote(const NoteRecord& note, const std::string& category, const std::string& uid,
                             const std::string& kept, const RecordFields& before) {
  KeptComponent k = OpenKept(kept, "VJOURNAL", uid);
  const RecordFields now = FieldsOf(note);
  const auto changed = [&](const char* field) { return FieldChanged(before, now, field); };
  if (changed("subject")) SetText(k, "SUMMARY", note.subject, icalproperty_new_summary);
  if (changed("content")) SetText(k, "DESCRIPTION", note.content, icalproperty_new_description);
  if (changed("category")) SetText(k, "CATEGORIES", category, icalproperty_new_categories);
  if (changed("subject") || changed("content") || changed("category")) {
    k.Set("LAST-MODIFIED", Written(icalproperty_new_lastmodified(UtcOf(note.last_updated))));
  }
  return k.Text();
}

std::string CalendarFile(const std::vector<std::string>& components) {
  std::string zones;
  std::string body;
  std::vector<std::string> written;
  for (const std::string& text : components) {
    size_t pos = 0;
    // Leading VTIMEZONE blocks, each written once by its TZID line.
    while (text.compare(pos, 16, "BEGIN:VTIMEZONE\r") == 0) {
      const size_t end = text.find("END:VTIMEZONE\r\n", pos);
      if (end == std::string::npos) break;
      const std::string zone = text.substr(pos, end + 15 - pos);
      const size_t tzid = zone.find("\r\nTZID");
      const std::string key = zone.substr(tzid, zone.find("\r\n", tzid + 2) - tzid);
      if (std::find(written.begin(), written.end(), key) == written.end()) {
        written.push_back(key);
        zones += zone;
      }
      pos = end + 15;
    }
    body.append(text, pos, std::string::npos);
  }
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tavrin//Orvale Organizer//EN\r\n" + zones + body +
         "END:VCALENDAR\r\n";
}

}  // namespace Interop
