"""A task saved in the editor reminds at the next scan, without disturbing an editor in use."""

import time

import desktop
from desktop import DesktopTest, wait_for

SCAN_WAIT = 75  # the first scan runs a minute after start-up


class TaskReminder(DesktopTest):
    # Ten minutes from now stays on the same day (test_across_midnight crosses it on purpose).
    LOCAL_TIME = "10:00"

    def test_saved_task_reminds_and_the_popup_leaves_the_typing_alone(self):
        desk = self.desk
        started = time.monotonic()
        desk.click(desk.find("tree", "Tasks"))
        desk.key("ctrl+n")
        editor = desk.wait_window("Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Call the dentist")
        desk.click(desk.find("check box", "Completion Date", within=editor))
        desk.click(desk.find("check box", "Completion Time", within=editor))
        clock = desk.find("spin button", "Completion time value", within=editor)
        wait_for("the time field enabled", lambda: clock.getState().contains(desktop.pyatspi.STATE_ENABLED))
        # Ten minutes from now (a few minutes past ten): the hour, then Tab to the minutes.
        x, y, w, h = desk.extents(clock)
        desk.click_at(x + 6, y + h // 2)
        desk.key("Tab", *["Up"] * 10)
        reminder = desk.find_all("combo box", within=editor)[2]
        desk.open_list(reminder)
        desk.click(desk.find("list item", "15 min", within=reminder))
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window("Add New Task")
        self.assertEqual(desk.sql("SELECT name, warning FROM task"), [["Call the dentist", "15"]])

        # The user starts on the next task while the reminder comes up.
        desk.key("ctrl+n")
        editor = desk.wait_window("Add New Task")
        name = desk.find("text", "Task name", within=editor)
        desk.click(name)
        desk.type("Shopping")
        popup = desk.wait_window("Orvale Reminder!", SCAN_WAIT - (time.monotonic() - started) + 10)
        self.assertTrue(any("Call the dentist" in label.name for label in desk.find_all("label", within=popup)))
        desk.type(" list")
        wait_for("the typing to reach the editor", lambda: desk.text_of(name) == "Shopping list", 5)
        self.assertEqual(desk.sql("SELECT warning FROM task"), [["0"]], "the scan clears the warning")

        # The pop-up takes a click while the editor is open, and the editor goes on.
        desk.click(desk.find("push button", "OK", within=popup))
        desk.wait_no_window("Orvale Reminder!")
        self.assertIsNotNone(desk.window("Add New Task"))
        desk.key("Escape")
        desk.wait_no_window("Add New Task")
        self.assertEqual(desk.sql("SELECT count(*) FROM task"), [["1"]])
