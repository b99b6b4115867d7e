"""The organizer on a Wayland desktop (a headless Weston of its own), where the
compositor alone places windows, stacks them and decides their opacity.

Weston's headless desktop has no keyboard or pointer, so controls are worked
through their accessible actions.
"""

import os
import time

import desktop
from desktop import DesktopTest, colour_bytes, pixels, wait_for
from test_notifications import FakeNotifications
from test_reminders import REMINDER, add_event
from tray_host import NotificationAreaTest
from weston_desktop import WestonDesktop

MAIN = "Orvale Organizer"
SETTINGS = "Orvale Organizer Settings"
EDITOR = "Add New Task"
UNAVAILABLE = "Not available on this desktop"
OPACITY_COMPLAINT = "does not support setting window opacity"
BACKGROUND = 0xDCF8FF  # a light yellow found nowhere else on Weston's screen


class WaylandTest(DesktopTest):
    def setUp(self):
        self.desk = WestonDesktop(env=self.ENV, settings=self.prepare_settings())
        self.addCleanup(self.desk.stop)
        self.prepare(self.desk)
        self.desk.start()

    def assert_no_opacity_complaints(self):
        self.assertNotIn(OPACITY_COMPLAINT, self.desk.output())


class MainWindowOnWayland(WaylandTest):
    SETTINGS = {"clr_background": BACKGROUND, "stay_on_top": 1, "transparent": 1}

    def prepare(self, desk):
        desk.sql("INSERT INTO contact (cat_id, fname, lname, disp_info) VALUES (4, 'Anna', 'Lindqvist', 'Sister')")

    def background_on_screen(self):
        """How many pixels of the screen show the background colour."""
        shot = os.path.join(self.desk.home, "screen")
        self.desk.screenshot_rgb(shot)
        with open(shot, "rb") as screen:
            return pixels(screen.read()).count(colour_bytes(BACKGROUND))

    def test_pages_task_editor_and_settings(self):
        desk = self.desk
        # The window is drawn at once, fully opaque, in the user's background colour.
        wait_for("the main window on the screen", lambda: self.background_on_screen() > 100_000, timeout=5)
        if os.environ.get("ORGANIZER_SHOTS"):
            desk.screenshot(os.path.join(os.environ["ORGANIZER_SHOTS"], "wayland-main.png"))

        # The four pages, each with its list.
        for tab, tree in [("My Contacts", "Contacts"), ("My Dates & Events", "Events"), ("My Notes", "Notes"),
                          ("My Tasks", "Tasks")]:
            desk.press(desk.find("page tab", tab))
            desk.find("tree", tree)
        desk.press(desk.find("page tab", "My Contacts"))
        wait_for("the contact listed", lambda: desk.table_rows(desk.find("tree", "Contacts"))[0][0] ==
                 "Lindqvist, Anna")
        desk.press(desk.find("page tab", "My Tasks"))

        # Add opens the task editor; Save writes the task.
        desk.press(desk.find("push button", "Add New Task"))
        editor = desk.wait_window(EDITOR)
        desk.set_text(desk.find("text", "Task name", within=editor), "Water the plants")
        desk.press(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(EDITOR)
        self.assertEqual(desk.sql("SELECT name, completed FROM task"), [["Water the plants", "0"]])
        wait_for("the task listed", lambda: desk.table_rows(desk.find("tree", "Tasks")) and
                 desk.table_rows(desk.find("tree", "Tasks"))[0][0] == "Water the plants")

        # Staying on top and translucency cannot work here: shown, with the reason, but not offered.
        desk.press(desk.find("push button", "Settings"))
        settings = desk.wait_window(SETTINGS)
        for name in ["Keep Orvale Organizer on top", "Make Orvale Organizer transparent when idle"]:
            box = desk.find("check box", name, within=settings)
            self.assertFalse(desk.is_enabled(box), name)
            self.assertEqual(box.description, UNAVAILABLE)
            self.assertTrue(box.getState().contains(desktop.pyatspi.STATE_CHECKED), "the stored choice is kept")
        start_hidden = desk.find("check box", "Start Orvale Organizer in Minimized State", within=settings)
        self.assertTrue(desk.is_enabled(start_hidden))
        self.assertEqual(start_hidden.description, "")
        if os.environ.get("ORGANIZER_SHOTS"):
            desk.screenshot(os.path.join(os.environ["ORGANIZER_SHOTS"], "wayland-settings.png"))
        desk.press(desk.find("push button", "Cancel", within=settings))
        desk.wait_no_window(SETTINGS)

        # Every window above faded in, and the editor out: none of it asked for opacity.
        self.assertTrue(desk.running())
        self.assert_no_opacity_complaints()


class RemindersOnWayland(WaylandTest):
    """A desktop notification is what shows above other windows here; the pop-up opens as well."""

    def prepare(self, desk):
        self.server = FakeNotifications(desk)
        # Three hours ago: missed, and so shown at start-up, at any hour and across a clock change.
        add_event(desk, "Dentist", -180, 30)

    def test_due_event_pops_up_and_notifies(self):
        desk, server = self.desk, self.server
        popup = desk.wait_window(REMINDER)
        self.assertIsNotNone(desktop.pyatspi.findDescendant(
            popup, lambda a: a is not None and 'The Event "Dentist" was scheduled for' in a.name))
        note = server.wait_notified(1)[0]
        self.assertEqual(note["summary"], "Orvale Reminder!")
        self.assertTrue(note["body"].startswith('The Event "Dentist" was scheduled for '), note["body"])
        self.assertEqual(desk.sql("SELECT warning FROM event"), [["0"]])

        desk.press(desk.find("push button", "OK", within=popup))
        desk.wait_no_window(REMINDER)
        wait_for("the notification closed", lambda: note["id"] in server.closed_ids())
        self.assertTrue(desk.running())
        self.assert_no_opacity_complaints()


class TrayOnWayland(WaylandTest, NotificationAreaTest):
    """A StatusNotifierItem host is the notification area of Wayland desktops."""

    def hidden(self):
        return self.desk.window(MAIN) is None

    def test_the_icon_hides_and_shows_the_window(self):
        desk = self.desk
        desk.press(desk.find("push button", "Minimize"))
        wait_for("the window hidden in the tray", self.hidden)
        self.click_icon()
        wait_for("the window back", lambda: not self.hidden())
        self.choose("Hide Orvale Organizer")
        wait_for("the window hidden again", self.hidden)
        self.choose("Show Orvale Organizer")
        wait_for("the window shown again", lambda: not self.hidden())
        self.assertTrue(desk.running())


class MinimisedWithoutTray(WaylandTest):
    def test_without_a_notification_area_the_window_is_minimised_not_hidden(self):
        desk = self.desk
        desk.press(desk.find("push button", "Minimize"))
        time.sleep(2)
        self.assertIsNotNone(desk.window(MAIN), "hidden where nothing could bring it back")
        self.assertTrue(desk.running())
