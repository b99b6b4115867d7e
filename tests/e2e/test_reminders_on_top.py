"""Reminders of a main window that stays on top (its own file, so that it runs beside the others)."""

from desktop import DesktopTest
from test_reminders import REMINDER, SCAN_WAIT, add_event


class ReminderAboveStayOnTop(DesktopTest):
    """A main window that stays on top still lets its reminders show above it."""

    SETTINGS = {"stay_on_top": 1}

    def prepare(self, desk):
        add_event(desk, "Dentist", 20, 30)

    def test_popup_above_a_main_window_that_stays_on_top(self):
        desk = self.desk
        popup = desk.wait_window(REMINDER, SCAN_WAIT)
        x, y = desk.centre(popup)
        self.assertNotIn(desk.window_at(x, y), desk.x_windows("Orvale Organizer"))
        desk.click(desk.find("push button", "OK", within=popup))
        desk.wait_no_window(REMINDER)
