""""View All Events" shows each event's date, and the events in date then time order; a repeating
event once, with its rule in words."""

import pyatspi

from desktop import DesktopTest, wait_for
from desktop import today_day_number
from test_record_editors import day_number


def add_event(desk, title, day, minutes):
    desk.sql("INSERT INTO event (event_date, using_time, event_time, title, note, warning) "
             f"VALUES ({day}, 1, {minutes / 1440:.6f}, '{title}', '', 0)")


class AllEvents(DesktopTest):
    LOCAL_TIME = "12:00"  # today's event stays today's
    # Dates in a known short form, whatever the machine's language.
    ENV = {"LC_ALL": "en_GB.UTF-8", "LANG": "en_GB.UTF-8"}

    def prepare(self, desk):
        add_event(desk, "Early train", day_number(2090, 3, 20), 8 * 60)
        add_event(desk, "Breakfast", day_number(2090, 3, 10), 9 * 60)
        add_event(desk, "Dinner", day_number(2090, 3, 10), 18 * 60)
        add_event(desk, "New Year walk", day_number(2091, 1, 1), 7 * 60)
        add_event(desk, "Choir", day_number(2090, 3, 14), 19 * 60)
        add_event(desk, "Call home", today_day_number(), 10 * 60)

    def header_captions(self, table):
        return [name for _, name in self.desk.shown_columns(table)]

    def test_dates_shown_and_ordered(self):
        desk = self.desk
        desk.key("alt+3")
        table = wait_for("the events page", lambda: desk.find("tree", "Events"))
        wait_for("today's event", lambda: len(desk.table_rows(table)) == 1)
        self.assertEqual(self.header_captions(table), ["Time", "Event"], "one day's list needs no date")
        # Choir, a Tuesday, repeats; the table of rules is the program's own, made as it opened the file.
        desk.sql("INSERT INTO repeat_rule (kind, record_id, rrule) SELECT 2, id, 'FREQ=WEEKLY;BYDAY=TU;COUNT=5' "
                 "FROM event WHERE title = 'Choir'")
        desk.click(desk.find("check box", "View All Events"))
        wait_for("every event listed", lambda: len(desk.table_rows(table)) == 6)
        wait_for("a Date column", lambda: "Date" in self.header_captions(table), 5)
        self.assertEqual(self.header_captions(table), ["Date", "Time", "Event", "Repeat"])
        rows = desk.table_rows(table)
        self.assertEqual(rows[0][1:], ["10:00 AM", "Call home", ""])
        self.assertEqual(rows[1:], [["10/03/2090", "09:00 AM", "Breakfast", ""],
                                    ["10/03/2090", "06:00 PM", "Dinner", ""],
                                    ["14/03/2090", "07:00 PM", "Choir \u21bb", "Every week on Tuesday, 5 times"],
                                    ["20/03/2090", "08:00 AM", "Early train", ""],
                                    ["01/01/2091", "07:00 AM", "New Year walk", ""]],
                         "today's call first, then by date and time; the repeating event once, with its rule")

        # Back to one day: no date column, as before.
        desk.click(desk.find("check box", "View All Events"))
        wait_for("the date column gone", lambda: "Date" not in self.header_captions(table), 5)
        self.assertEqual(self.header_captions(table), ["Time", "Event"])
