#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interop/InteropItem.h"
#include "interop/RecordFields.h"

namespace Interop {

// Tasks, events and notes and iCalendar (RFC 5545; vCalendar 1.0 is read too),
// through libical:
//
// | record          | iCalendar                                                     |
// |-----------------|---------------------------------------------------------------|
// | task            | VTODO                                                         |
// |  name, description | SUMMARY, DESCRIPTION                                       |
// |  category_id    | CATEGORIES: the first known category of tasks by name (case   |
// |                 | ignored); none known: the first name becomes a new category   |
// |  priority_id    | PRIORITY: written 1 / 5 / 9 for High / Medium / Low; read     |
// |                 | 1-4 High, 5 or 0 or none Medium, 6-9 Low                      |
// |  due date, time | DUE: a DATE when the task has no time, else UTC date-time     |
// |  completed      | STATUS:COMPLETED, COMPLETED (UTC), PERCENT-COMPLETE:100;      |
// |                 | not completed: STATUS:NEEDS-ACTION                            |
// |  warning        | VALARM ACTION:DISPLAY, TRIGGER;RELATED=END:-PT<n>M; read also |
// |                 | relative to DTSTART and absolute; the nearest offered warning |
// |                 | that is not later than asked                                  |
// | event           | VEVENT                                                        |
// |  title, note    | SUMMARY, DESCRIPTION                                          |
// |  day, no time   | DTSTART;VALUE=DATE and DTEND the next day (exclusive)         |
// |  day and time   | DTSTART in UTC; read UTC, TZID (with its VTIMEZONE), floating |
// |                 | and DATE, shown at the local wall-clock time                  |
// |  warning        | VALARM ACTION:DISPLAY, TRIGGER:-PT<n>M (before the start)     |
// | note            | VJOURNAL                                                      |
// |  subject        | SUMMARY: its first 100 characters; a longer one is also put   |
// |                 | whole at the top of the text                                  |
// |  content        | DESCRIPTION (several joined by line breaks)                   |
// |  category_id    | CATEGORIES, as for tasks                                      |
// |  last_updated   | LAST-MODIFIED (else DTSTAMP), local time                      |
// | identity        | UID; overrides (RECURRENCE-ID) stay with their master         |
// | repeat rule     | RRULE (UNTIL in UTC beside a UTC start, a DATE beside a DATE),|
// |                 | EXDATE and RDATE at the start's time of day; read from UTC,   |
// |                 | TZID and floating times as local days                         |
// | one occurrence  | a record of its own linked to its series: written with the    |
// | changed alone   | series' UID and RECURRENCE-ID (its start in the series); read |
// |                 | from each RECURRENCE-ID of a repeating task or event          |
//
// Everything else (ATTENDEE, LOCATION, X- properties, parameters, the
// VTIMEZONEs a component refers to) stays in the kept component. A calendar
// component that is none of the three (VFREEBUSY, ...) is skipped, with why.

// Every task, event and note of the file. Throws InteropError naming the line.
ReadResult ReadCalendar(std::string_view file);

// How a task or an event repeats, for its component: the rule (the days in
// `overridden` are occurrences written on their own, not removed ones), or,
// for an occurrence changed on its own, the moment it had in its series.
struct RepeatOut {
  RepeatRule rule;
  std::vector<int> overridden;
  std::optional<double> recurrenceId;
};

// The component text (VTIMEZONEs first) of a record. `kept` is what it was
// imported from ("" for a record made here), `before` its fields then: only
// the fields changed since are written over the kept component.
std::string ComponentForTask(const TaskRecord& task, const std::string& category, const std::string& uid,
                             const std::string& kept, const RecordFields& before, const RepeatOut& repeat = {});
std::string ComponentForEvent(const EventRecord& event, const std::string& uid, const std::string& kept,
                              const RecordFields& before, const RepeatOut& repeat = {});
std::string ComponentForNote(const NoteRecord& note, const std::string& category, const std::string& uid,
                             const std::string& kept, const RecordFields& before);

// A whole iCalendar file around the components; a time zone that several
// hold is written once.
std::string CalendarFile(const std::vector<std::string>& components);

// The warning value (minutes) the editor offers that is nearest to `before`
// minutes before the moment, and not later than that.
int NearestWarning(long long before);

}  // namespace Interop
