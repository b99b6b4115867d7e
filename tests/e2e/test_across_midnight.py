"""Reminders across midnight: saved at 23:55, due tomorrow at 00:05 with "15 min", shown at the first scan.

The test and the organizer run in a time zone where it is 23:55 when the test starts, whatever the
clock says, so that the day changes between saving and being due on every run."""

import datetime
import re
import time

import desktop
from desktop import DesktopTest, day_number, wait_for

SCAN_WAIT = 75  # the first scan runs a minute after start-up
NAME = "Midnight train"


class AcrossMidnight(DesktopTest):
    LOCAL_TIME = "23:54:45"
    # Dates show as "9 Dec 2026" and times as h:mm AP, whatever the machine's language.
    ENV = {"LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}

    def setUp(self):
        self.started = time.monotonic()
        super().setUp()
        self.tomorrow = datetime.date.today() + datetime.timedelta(days=1)

    # ----- small steps a person takes -----

    def shown(self, field):
        text = field.queryText()
        return text.getText(0, text.characterCount)

    def press(self, key, times):
        if times > 0:
            self.desk.key(*[key] * times)

    def step(self, up, down, count):
        self.press(up if count > 0 else down, abs(count))

    def set_time_to_five_past_midnight(self, clock):
        """With the hour of a focused time field selected, steps it to 12:05 AM from what it shows."""
        hour, minute, half = re.fullmatch(r"(\d+):(\d+) (AM|PM)", self.shown(clock)).groups()
        hour = int(hour) % 12 + (12 if half == "PM" else 0)
        self.press("Down", hour)  # down to midnight: the hour does not wrap
        self.desk.key("Tab")
        self.step("Up", "Down", 5 - int(minute))
        wait_for("12:05 AM shown", lambda: self.shown(clock) == "12:05 AM", 5)

    def set_date_to_tomorrow(self, field):
        """With the day of a focused date field selected, steps it to tomorrow: the day to the
        first, the month and year, then the day, so that every date on the way exists."""
        desk = self.desk
        today = datetime.date.today()
        self.press("Down", today.day - 1)
        desk.key("Tab")
        self.step("Up", "Down", self.tomorrow.month - today.month)
        desk.key("Tab")
        self.step("Up", "Down", self.tomorrow.year - today.year)
        desk.key("shift+Tab", "shift+Tab")
        self.press("Up", self.tomorrow.day - 1)
        expected = f"{self.tomorrow.day} {self.tomorrow.strftime('%b')} {self.tomorrow.year}"
        wait_for(f"{expected} shown", lambda: self.shown(field) == expected, 5)

    def choose(self, combo, item):
        desk = self.desk
        desk.open_list(combo)
        desk.click(desk.find("list item", item, within=combo))
        wait_for(f"{item} chosen", lambda: desk.text_of(combo) == item)

    def save_before_midnight(self, editor):
        desk = self.desk
        self.assertEqual(time.localtime().tm_hour, 23, "too slow: midnight passed before saving")
        title = editor.name
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(title)

    def expect_reminder(self, table):
        desk = self.desk
        popup = desk.wait_window("Orvale Reminder!", SCAN_WAIT - (time.monotonic() - self.started) + 10)
        self.assertTrue(any(NAME in label.name for label in desk.find_all("label", within=popup)))
        self.assertEqual(desk.sql(f"SELECT warning FROM {table}"), [["0"]], "the scan clears the warning")

    # ----- the tests -----

    def test_a_task_due_at_five_past_midnight(self):
        desk = self.desk
        desk.click(desk.find("push button", "Add New Task"))
        editor = desk.wait_window("Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type(NAME)
        date = desk.find("spin button", "Completion date value", within=editor)
        clock = desk.find("spin button", "Completion time value", within=editor)
        desk.click(desk.find("check box", "Completion Date", within=editor))
        desk.key("Tab")
        wait_for("the date field focused", lambda: desk.has_focus(date))
        self.set_date_to_tomorrow(date)
        desk.click(desk.find("check box", "Completion Time", within=editor))
        desk.key("Tab")
        wait_for("the time field focused", lambda: desk.has_focus(clock))
        self.set_time_to_five_past_midnight(clock)
        self.choose(desk.find_all("combo box", within=editor)[2], "15 min")
        self.save_before_midnight(editor)
        self.assertEqual(desk.sql("SELECT due_date, round(due_time * 1440), warning FROM task"),
                         [[str(day_number(self.tomorrow)), "5.0", "15"]])
        self.expect_reminder("task")

    def test_an_event_at_five_past_midnight(self):
        desk = self.desk
        desk.key("alt+3")
        calendar = desk.find("table", within=desk.find("tree", "Events").parent)
        today = [cell for cell in desk.find_all("table cell", within=calendar)
                 if cell.getState().contains(desktop.pyatspi.STATE_SELECTED)]
        self.assertEqual([cell.name for cell in today], [str(datetime.date.today().day)])
        desk.click(today[0])
        desk.key("Right")  # the next day, also across the end of a month or year
        desk.click(desk.find("push button", "Add New Event"))
        editor = wait_for("the event editor", lambda: [w for w in desk.windows() if w is not None and
                                                       desk.is_showing(w) and w.name.startswith("Schedule Event")])[0]
        desk.click(desk.find("check box", "Set Event Time", within=editor))
        desk.click(desk.find("text", "Event name", within=editor))
        desk.type(NAME)
        clock = desk.find("spin button", "Event time", within=editor)
        desk.key("Tab", "Tab")
        wait_for("the time field focused", lambda: desk.has_focus(clock))
        self.set_time_to_five_past_midnight(clock)
        self.choose(desk.find_all("combo box", within=editor)[0], "15 min")
        self.save_before_midnight(editor)
        self.assertEqual(desk.sql("SELECT event_date, round(event_time * 1440), warning FROM event"),
                         [[str(day_number(self.tomorrow)), "5.0", "15"]])
        self.expect_reminder("event")
