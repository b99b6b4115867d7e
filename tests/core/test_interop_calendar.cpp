#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <string>

#include "db/OleDate.h"
#include "interop/CalendarMapping.h"
#include "interop/InteropError.h"

using namespace Interop;

namespace {

std::string Calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

InteropItem Only(const std::string& body) {
  const ReadResult read = ReadCalendar(Calendar(body));
  EXPECT_EQ(read.items.size(), 1u);
  return read.items.empty() ? InteropItem{} : read.items.front();
}

TaskRecord Task(const std::string& lines) {
  return Only("BEGIN:VTODO\r\nUID:t1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:T\r\n" + lines + "END:VTODO\r\n").task;
}

std::string ErrorOf(const std::string& text, int* line = nullptr) {
  try {
    ReadCalendar(text);
  } catch (const InteropError& e) {
    if (line) *line = e.Line();
    return e.what();
  }
  return "";
}

int Minutes(double fraction) { return static_cast<int>(fraction * 24 * 60 + 0.5); }

// The local wall-clock parts of a moment given in UTC.
OleDate::Parts LocalOf(int y, int mo, int d, int h, int mi) {
  const QDateTime utc(QDate(y, mo, d), QTime(h, mi), QTimeZone::utc());
  return OleDate::ToParts(OleDate::FromQDateTime(utc.toLocalTime()));
}

}  // namespace

TEST(CalendarReadTest, PrioritiesMapToThreeLevels) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 2}, {"PRIORITY:0\r\n", 2}, {"PRIORITY:1\r\n", 1}, {"PRIORITY:4\r\n", 1},
      {"PRIORITY:5\r\n", 2}, {"PRIORITY:6\r\n", 3}, {"PRIORITY:9\r\n", 3}};
  for (const auto& [line, id] : cases) EXPECT_EQ(Task(line).priority_id, id) << line;
}

TEST(CalendarReadTest, DueDatesCompletionAndWarnings) {
  const TaskRecord dateOnly = Task("DUE;VALUE=DATE:20250310\r\n");
  EXPECT_EQ(dateOnly.deadline, 1);
  EXPECT_EQ(dateOnly.deadline_time, 0);
  EXPECT_EQ(OleDate::ToParts(dateOnly.due_date).day, 10);
  EXPECT_EQ(dateOnly.completed, 0);

  const TaskRecord floating = Task("DUE:20250310T143000\r\nSTATUS:COMPLETED\r\n");
  EXPECT_EQ(floating.deadline_time, 1);
  EXPECT_EQ(Minutes(floating.due_time), 14 * 60 + 30);
  EXPECT_EQ(floating.completed, 1);
  EXPECT_EQ(Task("PERCENT-COMPLETE:100\r\n").completed, 1);
  EXPECT_EQ(Task("COMPLETED:20240101T100000Z\r\n").completed, 1);

  // 20 minutes before the end: the editor offers 15 and 30; 30 is the one not later.
  const std::string alarm = "DUE:20250310T143000\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n";
  EXPECT_EQ(Task(alarm + "TRIGGER;RELATED=END:-PT20M\r\nEND:VALARM\r\n").warning, 30);
  EXPECT_EQ(Task(alarm + "TRIGGER;RELATED=END:-PT15M\r\nEND:VALARM\r\n").warning, 15);
  // Relative to a start two hours before the due time: 2 h 10 min before it.
  EXPECT_EQ(Task("DTSTART:20250310T123000\r\n" + alarm + "TRIGGER:-PT10M\r\nEND:VALARM\r\n").warning, 180);
  EXPECT_EQ(Task(alarm + "TRIGGER;VALUE=DATE-TIME:20250310T000000Z\r\nEND:VALARM\r\n").warning > 0, true);
  EXPECT_EQ(Task(alarm + "TRIGGER:-P30W\r\nEND:VALARM\r\n").warning, 7100) << "the longest offered";
  EXPECT_EQ(Task(alarm + "TRIGGER;RELATED=END:PT1H\r\nEND:VALARM\r\n").warning, 5) << "after the moment: the first";
}

TEST(CalendarReadTest, NearestWarningIsNeverLaterThanAsked) {
  EXPECT_EQ(NearestWarning(1), 5);
  EXPECT_EQ(NearestWarning(5), 5);
  EXPECT_EQ(NearestWarning(6), 10);
  EXPECT_EQ(NearestWarning(461), 1420);
  EXPECT_EQ(NearestWarning(100000), 7100);
}

TEST(CalendarReadTest, EventTimesInEveryFormShowAtLocalWallClock) {
  const EventRecord allDay =
      Only("BEGIN:VEVENT\r\nUID:e\r\nDTSTART;VALUE=DATE:20250704\r\nDTEND;VALUE=DATE:20250705\r\nEND:VEVENT\r\n").event;
  EXPECT_EQ(allDay.using_time, 0);
  EXPECT_EQ(OleDate::ToParts(allDay.event_date).day, 4);

  const EventRecord floating = Only("BEGIN:VEVENT\r\nUID:e\r\nDTSTART:20250704T090000\r\nEND:VEVENT\r\n").event;
  EXPECT_EQ(floating.using_time, 1);
  EXPECT_EQ(Minutes(floating.event_time), 9 * 60);

  const EventRecord utc = Only("BEGIN:VEVENT\r\nUID:e\r\nDTSTART:20250704T090000Z\r\nEND:VEVENT\r\n").event;
  const OleDate::Parts local = LocalOf(2025, 7, 4, 9, 0);
  EXPECT_EQ(OleDate::ToParts(utc.event_date).day, local.day);
  EXPECT_EQ(Minutes(utc.event_time), local.hour * 60 + local.minute);

  // A zone of its own, UTC+5:30 all year, defined in the file.
  const EventRecord zoned =
      Only("BEGIN:VTIMEZONE\r\nTZID:Test/Plus0530\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
           "TZOFFSETFROM:+0530\r\nTZOFFSETTO:+0530\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
           "BEGIN:VEVENT\r\nUID:e\r\nDTSTART;TZID=Test/Plus0530:20250704T143000\r\nEND:VEVENT\r\n")
          .event;
  EXPECT_EQ(Minutes(zoned.event_time), local.hour * 60 + local.minute) << "14:30 at +05:30 is 09:00 UTC";
}

TEST(CalendarReadTest, OverridesStayWithTheirMasterAndTimeZonesTravelWithIt) {
  const ReadResult read = ReadCalendar(Calendar(
      "BEGIN:VTIMEZONE\r\nTZID:Test/Zone\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+0100\r\n"
      "TZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
      "BEGIN:VEVENT\r\nUID:r\r\nRECURRENCE-ID;TZID=Test/Zone:20250108T100000\r\nDTSTART;TZID=Test/Zone:20250108T120000\r\n"
      "SUMMARY:moved\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:r\r\nDTSTART;TZID=Test/Zone:20250101T100000\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:weekly\r\n"
      "END:VEVENT\r\nBEGIN:VFREEBUSY\r\nUID:f\r\nEND:VFREEBUSY\r\n"));
  // The changed occurrence is also a record of its own, after its series,
  // and its day is no longer one of the series'.
  ASSERT_EQ(read.items.size(), 2u);
  EXPECT_EQ(read.items[0].event.title, "weekly");
  EXPECT_EQ(read.items[0].line, 12) << "where its first component begins";
  EXPECT_EQ(read.items[0].component.rfind("BEGIN:VTIMEZONE", 0), 0u);
  EXPECT_NE(read.items[0].component.find("RRULE:FREQ=WEEKLY"), std::string::npos);
  EXPECT_NE(read.items[0].component.find("SUMMARY:moved"), std::string::npos);
  EXPECT_EQ(read.items[0].repeat.rrule, "FREQ=WEEKLY");
  EXPECT_EQ(read.items[1].event.title, "moved");
  EXPECT_EQ(read.items[1].seriesUid, "r");
  EXPECT_EQ(read.items[0].repeat.excludedDays, std::vector<int>{read.items[1].seriesDay});
  ASSERT_EQ(read.skipped.size(), 1u);
  EXPECT_EQ(read.skipped[0].line, 24);
  EXPECT_EQ(read.skipped[0].why, "VFREEBUSY is not a task, event or note");
}

TEST(CalendarReadTest, JournalSubjectsKeepTheirFirstHundredCharactersAndLoseNothing) {
  std::string summary;
  for (int i = 0; i < 120; ++i) summary += "\xC3\xA9";  // é, two bytes each
  const NoteRecord note = Only("BEGIN:VJOURNAL\r\nUID:n\r\nSUMMARY:" + summary +
                               "\r\nDESCRIPTION:body\r\nCATEGORIES:Ideas,Other\r\n"
                               "LAST-MODIFIED:20240102T030405\r\nEND:VJOURNAL\r\n")
                              .note;
  EXPECT_EQ(note.subject, summary.substr(0, 200));
  EXPECT_EQ(note.content, summary + "\n\nbody");
  const OleDate::Parts stamp = OleDate::ToParts(note.last_updated);
  EXPECT_EQ(stamp.year, 2024);
  EXPECT_EQ(stamp.minute, 4);
}

TEST(CalendarReadTest, VCalendarOneIsRead) {
  const ReadResult read = ReadCalendar(
      "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\nSUMMARY;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caf=C3=A9, =\r\n"
      "tea\r\nDUE:20250310T120000\r\nCATEGORIES:Work;Personal\r\nDALARM:20250310T110000;PT5M;2;Soon\r\nPRIORITY:1\r\n"
      "END:VTODO\r\nBEGIN:VEVENT\r\nDTSTART:20250311T080000\r\nSUMMARY:Breakfast\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  ASSERT_EQ(read.items.size(), 2u);
  const InteropItem& task = read.items[0];
  EXPECT_EQ(task.task.name, "Caf\xC3\xA9, tea");
  EXPECT_EQ(task.categories, (std::vector<std::string>{"Work", "Personal"}));
  EXPECT_EQ(task.task.warning, 60);
  EXPECT_EQ(task.task.priority_id, 1);
  EXPECT_EQ(read.items[1].event.title, "Breakfast");
  EXPECT_EQ(Minutes(read.items[1].event.event_time), 8 * 60);
}

TEST(CalendarReadTest, BadFilesNameTheLineAndWhy) {
  int line = -1;
  EXPECT_EQ(ErrorOf("", &line), "the file is empty");
  EXPECT_NE(ErrorOf("Subject,Start Date\r\nLunch,2025-01-01\r\n", &line).find("not an iCalendar file"),
            std::string::npos);
  EXPECT_EQ(line, 1);
  EXPECT_NE(ErrorOf("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART:20250101\r\nEND:VEVENT\r\n",
                    &line).find("cut off"),
            std::string::npos);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(ErrorOf(Calendar("BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:bad \xFF\r\nDTSTART:20250101\r\nEND:VEVENT\r\n"), &line),
            "the text is not valid UTF-8");
  EXPECT_EQ(line, 6);

  std::string nested = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
  for (int i = 0; i < 10000; ++i) nested += "BEGIN:VEVENT\r\n";
  for (int i = 0; i < 10000; ++i) nested += "END:VEVENT\r\n";
  nested += "END:VCALENDAR\r\n";
  EXPECT_NE(ErrorOf(nested, &line).find("nested deeper than"), std::string::npos);
  EXPECT_EQ(line, 10);

  EXPECT_NE(ErrorOf(Calendar("BEGIN:VEVENT\r\nUID:a\r\nDTSTART:00010101T100000Z\r\nEND:VEVENT\r\n"), &line)
                .find("0001-01-01 is outside the years 1900 to 9999"),
            std::string::npos);
  EXPECT_EQ(line, 4);
  EXPECT_NE(ErrorOf(Calendar("BEGIN:VTODO\r\nUID:a\r\nDUE;VALUE=DATE:99991231\r\nEND:VTODO\r\n")).find("9999-12-31"),
            std::string::npos);
  EXPECT_NE(ErrorOf(Calendar("BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20250101T100000Z\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                             "TRIGGER:soon-ish\r\nEND:VALARM\r\nEND:VEVENT\r\n")),
            "");

  const std::string megabyteLine = Calendar("BEGIN:VJOURNAL\r\nUID:a\r\nDESCRIPTION:" + std::string(3 << 20, 'x') +
                                            "\r\nEND:VJOURNAL\r\n");
  EXPECT_NE(ErrorOf(megabyteLine, &line).find("a property of 3.0 MB is longer than the 1.0 MB allowed"),
            std::string::npos);
  EXPECT_EQ(line, 6);
}

TEST(CalendarWriteTest, ATaskMadeHereIsWrittenWithEveryMappedField) {
  TaskRecord task;
  task.id = 1;
  task.name = "Pay, rent; now";
  task.description = "line 1\nline 2";
  task.priority_id = 3;
  task.category_id = 2;
  task.deadline = 1;
  task.deadline_time = 0;
  task.due_date = OleDate::FromParts({2025, 3, 10, 0, 0, 0});
  task.warning = 1420;
  task.completed = 1;
  const std::string text = ComponentForTask(task, "Work", "uid-1", "", {});
  for (const char* expected : {"UID:uid-1", "SUMMARY:Pay\\, rent\\; now", "DESCRIPTION:line 1\\nline 2", "PRIORITY:9",
                               "CATEGORIES:Work", "DUE;VALUE=DATE:20250310", "STATUS:COMPLETED", "PERCENT-COMPLETE:100",
                               "TRIGGER;RELATED=END:-P", "ACTION:DISPLAY", "DTSTAMP:"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
  }
  const TaskRecord back = ReadCalendar(CalendarFile({text})).items.at(0).task;
  EXPECT_EQ(back.name, task.name);
  EXPECT_EQ(back.description, task.description);
  EXPECT_EQ(back.priority_id, 3);
  EXPECT_EQ(back.warning, 1420);
  EXPECT_EQ(back.completed, 1);
  EXPECT_EQ(OleDate::DayNumber(back.due_date), OleDate::DayNumber(task.due_date));
}

namespace {

// The start of an event at a local wall-clock time, as written: UTC.
std::string WrittenStart(int y, int mo, int d, int h, int mi) {
  EventRecord event;
  event.id = 1;
  event.title = "At";
  event.using_time = 1;
  const double moment = OleDate::FromParts({y, mo, d, h, mi, 0});
  event.event_date = OleDate::DayNumber(moment);
  event.event_time = OleDate::TimeOfDay(moment);
  const std::string text = ComponentForEvent(event, "z", "", {});
  const size_t at = text.find("DTSTART:");
  return at == std::string::npos ? text : text.substr(at + 8, 16);
}

}  // namespace

TEST(CalendarWriteTest, LocalTimesGoOutInUtcByTheRulesOfTheirDayAlsoWhenTheClocksChange) {
  struct Case {
    const char* zone;
    int y, mo, d, h, mi;
    const char* utc;
  };
  const Case cases[] = {
      {"Europe/Berlin", 2026, 1, 15, 9, 30, "20260115T083000Z"},
      {"Europe/Berlin", 2026, 7, 1, 9, 30, "20260701T073000Z"},
      {"Europe/Berlin", 2026, 3, 29, 2, 30, "20260329T013000Z"},   // skipped: read as 03:30 summer time
      {"Europe/Berlin", 2026, 10, 25, 2, 30, "20261025T003000Z"},  // passed twice: the first
      {"Europe/Berlin", 2026, 10, 25, 1, 59, "20261024T235900Z"},
      {"Europe/Berlin", 2026, 10, 25, 3, 0, "20261025T020000Z"},
      {"America/New_York", 2026, 3, 8, 2, 30, "20260308T073000Z"},
      {"America/New_York", 2026, 11, 1, 1, 30, "20261101T053000Z"},
      {"America/New_York", 2026, 12, 31, 23, 59, "20270101T045900Z"},
      {"Australia/Lord_Howe", 2026, 4, 5, 1, 45, "20260404T144500Z"},  // half an hour back: +11 to +10:30
      {"Asia/Kolkata", 2026, 6, 1, 0, 0, "20260531T183000Z"},
  };
  for (const Case& c : cases) {
    setenv("TZ", c.zone, 1);
    tzset();
    EXPECT_EQ(WrittenStart(c.y, c.mo, c.d, c.h, c.mi), c.utc) << c.zone << " " << c.d << "." << c.mo << " " << c.h;
  }
  unsetenv("TZ");
  tzset();
}

TEST(CalendarWriteTest, EventsRoundTripAndChangesKeepWhatIsNotModelled) {
  EventRecord allDay;
  allDay.id = 1;
  allDay.title = "Holiday";
  allDay.event_date = OleDate::FromParts({2025, 12, 31, 0, 0, 0});
  const std::string day = ComponentForEvent(allDay, "d", "", {});
  EXPECT_NE(day.find("DTSTART;VALUE=DATE:20251231"), std::string::npos) << day;
  EXPECT_NE(day.find("DTEND;VALUE=DATE:20260101"), std::string::npos) << "the next day, exclusive";

  const std::string kept =
      "BEGIN:VEVENT\r\nUID:k\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:20250704T090000Z\r\nDTEND:20250704T100000Z\r\n"
      "SUMMARY:Old\r\nLOCATION:Room 1\r\nATTENDEE:mailto:a@example.org\r\nX-ODD;X-P=1:kept\r\nEND:VEVENT\r\n";
  InteropItem item = ReadCalendar(Calendar(kept)).items.at(0);
  const RecordFields before = FieldsOf(item.event);
  item.event.title = "New";
  item.event.event_time += 1.0 / 24;  // an hour later
  const std::string changed = ComponentForEvent(item.event, item.uid, item.component, before);
  for (const char* expected : {"SUMMARY:New", "LOCATION:Room 1", "ATTENDEE:mailto:a@example.org", "X-ODD;X-P=1:kept",
                               "DTSTART:20250704T100000Z", "DTEND:20250704T110000Z"}) {
    EXPECT_NE(changed.find(expected), std::string::npos) << expected << " in\n" << changed;
  }
}
