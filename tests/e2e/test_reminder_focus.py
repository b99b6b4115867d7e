"""Reminders that come due while a person types, and tasks whose date has no time."""

import time

import desktop
from desktop import DesktopTest, today_day_number, wait_for
from test_reminders import REMINDER, SCAN_WAIT, add_event


class ReminderWhileTyping(DesktopTest):
    LOCAL_TIME = "12:00"

    def prepare(self, desk):
        add_event(desk, "Dentist", 20, 30)

    def test_typing_goes_on_into_the_field_and_the_popup_stays(self):
        desk = self.desk
        desk.key("alt+4")
        wait_for("the notes page", lambda: desk.find("tree", "Notes"))
        desk.click(desk.find("push button", "Add New Note"))
        editor = desk.wait_window("Add New Note")
        text = desk.find("text", "Note text", within=editor)
        desk.click(text)
        desk.type("before")
        popup = desk.wait_window(REMINDER, SCAN_WAIT)
        # Keys meant for the note, a space among them, stay with the note.
        desk.type(" and after")
        wait_for("the note has every key", lambda: desk.text_of(text) == "before and after", 5)
        self.assertTrue(desk.is_showing(popup), "a key closed the reminder unseen")
        self.assertTrue(desk.has_focus(text))

        # A click gives the pop-up the keyboard; Escape closes it and writes nothing.
        desk.sql("UPDATE event SET warning = 5")  # as if another reminder were still set
        x, y, w, h = desk.extents(popup)
        desk.click_at(x + 20, y + h - 20)
        desk.key("Escape")
        desk.wait_no_window(REMINDER)
        self.assertEqual(desk.sql("SELECT warning FROM event"), [["5"]])
        self.assertIsNotNone(desk.window("Add New Note"), "Escape reached the editor")


class UntimedTask(DesktopTest):
    """A task with a date and no time is due at the start of its day."""

    LOCAL_TIME = "20:00"  # midnight four hours on, the hidden time a day and four hours on

    def prepare(self, desk):
        now = time.localtime()
        to_midnight = 24 * 60 - (now.tm_hour * 60 + now.tm_min)
        self.tomorrow = today_day_number() + 1
        # An older file keeps the time of day the task was typed at beside it.
        hidden = (now.tm_hour * 60 + now.tm_min) / 1440.0
        desk.sql("INSERT INTO task (category_id, priority_id, name, deadline, deadline_time, due_date, due_time, "
                 f"warning) VALUES (1, 1, 'Pay rent', 1, 0, {self.tomorrow}, {hidden:.6f}, {to_midnight + 5})")

    def test_reminded_against_midnight_and_stored_without_a_hidden_time(self):
        desk = self.desk
        popup = desk.wait_window(REMINDER, SCAN_WAIT)
        self.assertIsNotNone(desktop.pyatspi.findDescendant(
            popup, lambda a: a is not None and "Pay rent" in a.name))
        desk.click(desk.find("push button", "OK", within=popup))
        desk.wait_no_window(REMINDER)

        # Typed now, a date without a time is stored as that day's midnight.
        desk.click(desk.find("push button", "Add New Task"))
        editor = desk.wait_window("Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Water the plants")
        desk.click(desk.find("check box", "Completion Date", within=editor))
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window("Add New Task")
        self.assertEqual(desk.sql("SELECT deadline, deadline_time, due_time FROM task WHERE name = 'Water the plants'"),
                         [["1", "0", "0.0"]])
