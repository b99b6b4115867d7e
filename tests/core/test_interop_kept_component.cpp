#include <gtest/gtest.h>

#include <string>

#include "db/OleDate.h"
#include "interop/CalendarMapping.h"
#include "interop/ContentLines.h"
#include "interop/KeptComponent.h"

using namespace Interop;

namespace {

std::string Calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A description folded twice, a quoted parameter holding ':' and ';', an
// alarm with a DESCRIPTION of its own, and a property of another program.
const std::string kFolded =
    "DESCRIPTION:A description long enough that the program which wrote it fo\r\n"
    " lded it over more than one line\\, and then\r\n"
    "  once more\r\n";
const std::string kEvent =
    "BEGIN:VEVENT\r\nUID:e1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:Old\r\n" + kFolded +
    "ATTENDEE;CN=\"Doe; J: the second\";ROLE=CHAIR:mailto:j@example.org\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Inner text\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
    "X-OTHER;X-P=1:kept\r\nEND:VEVENT\r\n";

}  // namespace

TEST(KeptComponentTest, UntouchedLinesStayAsWrittenAndOnlyTheMastersOwnPropertyIsReplaced) {
  KeptComponent k(kEvent, "VEVENT", false);
  EXPECT_EQ(k.Text(), kEvent) << "nothing set: the text comes back byte for byte";

  ASSERT_EQ(k.Lines("DESCRIPTION").size(), 1u) << "the alarm's DESCRIPTION is not the event's";
  EXPECT_EQ(k.Lines("DESCRIPTION")[0],
            "DESCRIPTION:A description long enough that the program which wrote it folded it over more than one "
            "line\\, and then once more");
  k.Set("SUMMARY", "SUMMARY:New\r\n");
  k.Set("DESCRIPTION", "DESCRIPTION:Short\r\n");
  const std::string text = k.Text();
  EXPECT_EQ(text, "BEGIN:VEVENT\r\nUID:e1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:New\r\nDESCRIPTION:Short\r\n"
                  "ATTENDEE;CN=\"Doe; J: the second\";ROLE=CHAIR:mailto:j@example.org\r\n"
                  "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Inner text\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
                  "X-OTHER;X-P=1:kept\r\nEND:VEVENT\r\n");

  // Removing every property of a name, and adding one the text lacked,
  // goes after the last property, not inside or after the alarm.
  k.Set("ATTENDEE", "");
  k.Set("X-OTHER", "");
  k.Set("LOCATION", "LOCATION:Hall\r\n");
  EXPECT_EQ(k.Text(), "BEGIN:VEVENT\r\nUID:e1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:New\r\nDESCRIPTION:Short\r\n"
                      "LOCATION:Hall\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Inner text\r\nTRIGGER:-PT15M\r\n"
                      "END:VALARM\r\nEND:VEVENT\r\n");
}

TEST(KeptComponentTest, SeveralLinesOfANameAndFoldedNewTextAreEachKnown) {
  KeptComponent k("BEGIN:VTODO\r\nUID:t\r\nEXDATE:20250101\r\nSUMMARY:s\r\nEXDATE:20250108\r\nEND:VTODO\r\n", "VTODO",
                  false);
  EXPECT_EQ(k.Lines("EXDATE").size(), 2u);
  k.Set("EXDATE", "EXDATE:20250201\r\nEXDATE:2025\r\n 0208\r\nEXDATE:20250215\r\n");
  EXPECT_EQ(k.Lines("EXDATE"), (std::vector<std::string>{"EXDATE:20250201", "EXDATE:20250208", "EXDATE:20250215"}));
  EXPECT_EQ(k.Text(),
            "BEGIN:VTODO\r\nUID:t\r\nEXDATE:20250201\r\nEXDATE:2025\r\n 0208\r\nEXDATE:20250215\r\nSUMMARY:s\r\n"
            "END:VTODO\r\n");
}

TEST(KeptComponentTest, MasterOverridesZonesAndTextsThatCannotBeRead) {
  const std::string zone = "BEGIN:VTIMEZONE\r\nTZID:Z\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                           "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  const std::string override = "BEGIN:VEVENT\r\nUID:s\r\nRECURRENCE-ID;TZID=Z:20250108T090000\r\nSUMMARY:moved\r\n"
                               "END:VEVENT\r\n";
  const std::string master = "BEGIN:VEVENT\r\nUID:s\r\nDTSTART;TZID=Z:20250101T090000\r\nRRULE:FREQ=WEEKLY\r\n"
                             "SUMMARY:series\r\nEND:VEVENT\r\n";
  // An occurrence written before its series, and a zone after both.
  KeptComponent series(override + master + zone, "VEVENT", false);
  EXPECT_EQ(series.Lines("SUMMARY"), std::vector<std::string>{"SUMMARY:series"});
  EXPECT_EQ(series.Zones(), zone);
  EXPECT_EQ(series.Text(), zone + override + master) << "zones first, the rest in their order";
  EXPECT_TRUE(series.DropOverrides());
  EXPECT_FALSE(series.DropOverrides());
  EXPECT_EQ(series.Text(), zone + master);

  KeptComponent occurrence(override + master, "VEVENT", true);
  EXPECT_EQ(occurrence.Lines("SUMMARY"), std::vector<std::string>{"SUMMARY:moved"});

  // Another kind only, text that is no calendar, components that do not pair up.
  for (const std::string& kept : {master, std::string("not a calendar at all\r\n"),
                                  std::string("BEGIN:VTODO\r\nUID:x\r\nBEGIN:VALARM\r\nEND:VTODO\r\n")}) {
    KeptComponent task(kept, "VTODO", false);
    EXPECT_FALSE(task.Has("UID")) << kept;
    task.Set("UID", "UID:new\r\n");
    const std::string expected = "BEGIN:VTODO\r\nUID:new\r\nEND:VTODO\r\n";
    EXPECT_EQ(task.Text(), kept == master ? master + expected : expected) << kept;
  }
}

TEST(KeptComponentTest, AlarmsAreReplacedWhereTheyStoodOrRemoved) {
  const std::string alarm = "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n";
  const std::string other = "BEGIN:X-NOTE\r\nX-A:1\r\nEND:X-NOTE\r\n";
  KeptComponent k("BEGIN:VEVENT\r\nUID:a\r\n" + alarm + other + alarm + "END:VEVENT\r\n", "VEVENT", false);
  const std::string fresh = "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\n";
  k.SetComponents("VALARM", fresh);
  EXPECT_EQ(k.Text(), "BEGIN:VEVENT\r\nUID:a\r\n" + fresh + other + "END:VEVENT\r\n");
  k.SetComponents("VALARM", "");
  EXPECT_EQ(k.Text(), "BEGIN:VEVENT\r\nUID:a\r\n" + other + "END:VEVENT\r\n");
}

// Changed records written over what they came with, read back by the reader.
TEST(KeptComponentTest, ChangedFieldsReadBackAndTheRestStaysAsItCame) {
  const std::string rule = "RRULE:FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20251231T235959Z\r\n";
  const std::string kept = "BEGIN:VEVENT\r\nUID:e1\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:20250707T090000Z\r\n"
                           "DTEND:20250707T103000Z\r\nSUMMARY:Old\r\n" + rule + "EXDATE:20250709T090000Z\r\n" + kFolded +
                           "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Inner text\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
                           "END:VEVENT\r\n";
  const InteropItem item = ReadCalendar(Calendar(kept)).items.at(0);
  const RecordFields before = FieldsOf(item.event);
  EventRecord event = item.event;
  event.title = "Grüße aus Köln – 東京で会いましょう。東京で会いましょう。東京で会いましょう。";
  event.warning = 0;
  const std::string text = ComponentForEvent(event, item.uid, item.component, before);
  EXPECT_EQ(Count(text, "BEGIN:VALARM"), 0u) << "a removed warning takes its alarm along:\n" << text;
  EXPECT_NE(text.find(kFolded), std::string::npos) << "the untouched description keeps its folds:\n" << text;
  EXPECT_NE(text.find(rule), std::string::npos) << text;
  EXPECT_NE(text.find("EXDATE:20250709T090000Z\r\n"), std::string::npos) << text;
  for (const ContentLine& line : SplitContentLines(text)) EXPECT_TRUE(IsUtf8(line.text));
  const InteropItem back = ReadCalendar(Calendar(text)).items.at(0);
  EXPECT_EQ(back.event.title, event.title);
  EXPECT_EQ(back.event.warning, 0);
  EXPECT_EQ(back.event.note, item.event.note);
  EXPECT_EQ(back.repeat.rrule, item.repeat.rrule);

  // A new start keeps the length, also when the kept times are in a zone of the file's.
  const std::string zone = "BEGIN:VTIMEZONE\r\nTZID:Plus Two\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                           "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  const InteropItem zoned = ReadCalendar(Calendar(
      zone + "BEGIN:VEVENT\r\nUID:z\r\nDTSTART;TZID=Plus Two:20250707T090000\r\nDTEND;TZID=Plus Two:20250707T114500\r\n"
             "SUMMARY:z\r\nEND:VEVENT\r\n")).items.at(0);
  EventRecord moved = zoned.event;
  moved.event_date += 1;
  const std::string later = ComponentForEvent(moved, zoned.uid, zoned.component, FieldsOf(zoned.event));
  EXPECT_NE(later.find("DTSTART:20250708T070000Z"), std::string::npos) << later;
  EXPECT_NE(later.find("DTEND:20250708T094500Z"), std::string::npos) << later;
  EXPECT_EQ(later.rfind(zone, 0), 0u) << "the zone stays with it";

  // And over days when the kept times are dates.
  const InteropItem days = ReadCalendar(Calendar(
      "BEGIN:VEVENT\r\nUID:d\r\nDTSTART;VALUE=DATE:20250707\r\nDTEND;VALUE=DATE:20250710\r\nSUMMARY:d\r\n"
      "END:VEVENT\r\n")).items.at(0);
  EventRecord trip = days.event;
  trip.event_date += 30;
  const std::string august = ComponentForEvent(trip, days.uid, days.component, FieldsOf(days.event));
  EXPECT_NE(august.find("DTSTART;VALUE=DATE:20250806"), std::string::npos) << august;
  EXPECT_NE(august.find("DTEND;VALUE=DATE:20250809"), std::string::npos) << august;
}

TEST(KeptComponentTest, ATaskTakenBackToNotDoneLosesItsCompletion) {
  const std::string kept = "BEGIN:VTODO\r\nUID:t\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:T\r\nSTATUS:COMPLETED\r\n"
                           "COMPLETED:20240102T000000Z\r\nPERCENT-COMPLETE:100\r\nX-KEEP:1\r\nEND:VTODO\r\n";
  const InteropItem item = ReadCalendar(Calendar(kept)).items.at(0);
  TaskRecord task = item.task;
  task.completed = 0;
  const std::string text = ComponentForTask(task, "", item.uid, item.component, FieldsOf(item.task));
  EXPECT_EQ(text, "BEGIN:VTODO\r\nUID:t\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:T\r\nSTATUS:NEEDS-ACTION\r\n"
                  "X-KEEP:1\r\nEND:VTODO\r\n");
  EXPECT_EQ(ReadCalendar(Calendar(text)).items.at(0).task.completed, 0);
}
