"""Reminder pop-ups used with the mouse and the keyboard while the main window runs.

The scan runs once a minute after start-up, so each test waits for one scan and
does everything it can with the pop-ups that scan opens.
"""

import desktop
from desktop import DesktopTest, minutes_from_now

SCAN_WAIT = 75  # one scan a minute, plus start-up
REMINDER = "Orvale Reminder!"


def add_event(desk, title, minutes_ahead, warning):
    day, time_of_day = minutes_from_now(minutes_ahead)
    desk.sql("INSERT INTO event (event_date, using_time, event_time, title, note, warning) "
             f"VALUES ({day}, 1, {time_of_day:.6f}, '{title}', '', {warning})")


class ReminderPopups(DesktopTest):
    def prepare(self, desk):
        add_event(desk, "Dentist", 20, 30)
        add_event(desk, "Haircut", 20, 30)
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (1, 1, 'Alpha')")

    def popups(self):
        return [w for w in self.desk.windows() if w is not None and w.name == REMINDER and self.desk.is_showing(w)]

    def popup_for(self, title):
        for popup in self.popups():
            message = desktop.pyatspi.findDescendant(popup, lambda a: a is not None and title in a.name)
            if message is not None:
                return popup
        return None

    def warning_of(self, title):
        return int(self.desk.sql(f"SELECT warning FROM event WHERE title = '{title}'")[0][0])

    def test_popups_take_clicks_and_keys_above_the_main_window(self):
        desk = self.desk
        # A question of the main window is open: it blocks the main window, not the pop-ups.
        desk.click(desk.find("table cell", "Alpha"))
        desk.key("Delete")
        question = desk.wait_window("Organizer Alert!")
        desktop.wait_for("two reminder pop-ups", lambda: len(self.popups()) == 2, SCAN_WAIT)
        self.assertEqual(self.warning_of("Dentist"), 0, "the scan clears the warning")

        # Each pop-up is above the main window where they overlap.
        main_ids = desk.x_windows("Orvale Organizer")
        for popup in self.popups():
            x, y = desk.centre(popup)
            self.assertNotIn(desk.window_at(x, y), main_ids, "a pop-up is hidden behind the main window")

        # The second pop-up steps aside, so both can be seen and the newer is on top.
        lower, upper = sorted(self.popups(), key=lambda popup: desk.extents(popup)[:2])
        self.assertNotEqual(desk.extents(lower)[:2], desk.extents(upper)[:2])
        title = "Dentist" if self.popup_for("Dentist") == upper else "Haircut"
        other = "Haircut" if title == "Dentist" else "Dentist"

        # Reset with a real click on the check box, a pick from the interval list, then OK.
        reset = desk.find("check box", "Reset Reminder:", within=upper)
        desk.click(reset)
        desktop.wait_for("Reset ticked", lambda: reset.getState().contains(desktop.pyatspi.STATE_CHECKED))
        intervals = desk.find("combo box", within=upper)
        desktop.wait_for("the interval list enabled", lambda: intervals.getState().contains(
            desktop.pyatspi.STATE_ENABLED))
        desk.open_list(intervals)
        desk.click(desk.find("list item", "10 min", within=upper))
        desktop.wait_for("10 min chosen", lambda: desk.text_of(intervals) == "10 min")
        desk.click(desk.find("push button", "OK", within=upper))
        desktop.wait_for("the upper pop-up to close", lambda: self.popup_for(title) is None)
        self.assertEqual(self.warning_of(title), 10)

        # The other one closes with Return after a click on its background, and writes nothing.
        x, y, w, h = desk.extents(lower)
        desk.click_at(x + 20, y + h - 20)
        desk.key("Return")
        desktop.wait_for("the lower pop-up to close", lambda: self.popup_for(other) is None)
        self.assertEqual(self.warning_of(other), 0)
        desk.click(desk.find("push button", "No", within=question))
        desk.wait_no_window("Organizer Alert!")
        self.assertEqual(desk.sql("SELECT name FROM task"), [["Alpha"]])
        self.assertTrue(desk.running(), "closing a pop-up must not end the program")
        self.assertIsNotNone(desk.window("Orvale Organizer"))


class ReminderEscape(DesktopTest):
    """Escape closes a pop-up without writing, here with no window manager at all."""

    WINDOW_MANAGER = False

    def prepare(self, desk):
        add_event(desk, "Dentist", 20, 30)

    def test_escape_closes_without_writing(self):
        desk = self.desk
        popup = desk.wait_window(REMINDER, SCAN_WAIT)
        reset = desk.find("check box", "Reset Reminder:", within=popup)
        desk.click(reset)
        desktop.wait_for("Reset ticked", lambda: reset.getState().contains(desktop.pyatspi.STATE_CHECKED))
        desk.key("Escape")
        desk.wait_no_window(REMINDER)
        self.assertEqual(desk.sql("SELECT warning FROM event")[0][0], "0")
        self.assertTrue(desk.running())
