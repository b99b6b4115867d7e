"""Desktop notifications beside reminder pop-ups, and reminders missed while the
organizer was not running, which come at once at start-up (so these tests need
not wait for a scan).

A stand-in notification server (fake_notifications.py) owns the notification
service on the test's session bus, records what the organizer sends and plays
the user's part on the notification.
"""

import json
import os
import signal
import sys
import time
import unittest

import dbus

import desktop
from desktop import DesktopTest
from test_reminders import REMINDER, add_event

HERE = os.path.dirname(os.path.abspath(__file__))
SERVICE = "org.freedesktop.Notifications"


class FakeNotifications:
    def __init__(self, desk):
        self.bus = dbus.SessionBus()
        if self.bus.name_has_owner(SERVICE):
            raise RuntimeError("a notification server is already running on the test's bus")
        desk._spawn([sys.executable, os.path.join(HERE, "fake_notifications.py")])
        desktop.wait_for("the notification server", lambda: self.bus.name_has_owner(SERVICE))
        self.control = dbus.Interface(self.bus.get_object(SERVICE, "/org/freedesktop/Notifications"),
                                      "org.orvale.FakeNotifications")

    def calls(self, method=None):
        return [c for c in json.loads(str(self.control.Calls())) if method is None or c["method"] == method]

    def wait_notified(self, count):
        return desktop.wait_for(f"{count} notifications", lambda: len(self.calls("Notify")) >= count and
                                self.calls("Notify"))

    def closed_ids(self):
        return [c["id"] for c in self.calls("CloseNotification")]


def add_task(desk, name, minutes_ahead, warning, completed=0):
    day, time_of_day = desktop.minutes_from_now(minutes_ahead)
    desk.sql("INSERT INTO task (category_id, priority_id, name, deadline, deadline_time, due_date, due_time, "
             f"warning, completed) VALUES (1, 2, '{name}', 1, 1, {day}, {time_of_day:.6f}, {warning}, {completed})")


class NotificationTest(DesktopTest):
    # Items a few minutes before or after now stay on one day: pop-ups come in
    # the order of their time of day, which across midnight is not their order in time.
    LOCAL_TIME = "12:00"

    def popups(self):
        return [w for w in self.desk.windows() if w is not None and w.name == REMINDER and self.desk.is_showing(w)]

    def popup_for(self, text):
        for popup in self.popups():
            if desktop.pyatspi.findDescendant(popup, lambda a: a is not None and text in a.name) is not None:
                return popup
        return None

    @staticmethod
    def texts(window):
        return " ".join(a.name for a in desktop.pyatspi.findAllDescendants(window, lambda a: a is not None and a.name))

    def warning_of(self, table, name_column, name):
        return int(self.desk.sql(f"SELECT warning FROM {table} WHERE {name_column} = '{name}'")[0][0])


class MissedWithServer(NotificationTest):
    def prepare(self, desk):
        self.server = FakeNotifications(desk)
        add_event(desk, "Dentist & X-ray", -10, 30)
        add_task(desk, "Pay rent", -90, 60)
        add_task(desk, "Done already", -30, 60, completed=1)
        add_task(desk, "Later", 120, 60)

    def test_missed_items_notify_and_the_notification_drives_the_popup(self):
        desk, server = self.desk, self.server
        desktop.wait_for("two pop-ups", lambda: len(self.popups()) == 2)
        notes = server.wait_notified(2)
        time.sleep(1)
        self.assertEqual(len(server.calls("Notify")), 2, "one notification per pop-up, none for the rest")
        self.assertIsNone(self.popup_for("Done already"), "a completed task is not reminded")
        self.assertIsNone(self.popup_for("Later"))
        self.assertEqual(self.warning_of("task", "name", "Pay rent"), 0)
        self.assertEqual(self.warning_of("event", "title", "Dentist & X-ray"), 0)
        self.assertEqual(self.warning_of("task", "name", "Done already"), 60)
        self.assertEqual(self.warning_of("task", "name", "Later"), 60)

        by_body = {("task" if "Pay rent" in n["body"] else "event"): n for n in notes}
        task, event = by_body["task"], by_body["event"]
        self.assertTrue(task["body"].startswith('The Task "Pay rent" was due at \n\n'), task["body"])
        # The server reads markup, so the ampersand comes escaped.
        self.assertTrue(event["body"].startswith('The Event "Dentist &amp; X-ray" was scheduled for '), event["body"])
        for note in notes:
            self.assertEqual(note["summary"], "Orvale Reminder!")
            self.assertEqual(note["app_icon"], "orvale-organizer")
            self.assertEqual(note["actions"], ["open", "Open", "dismiss", "Dismiss"])
            self.assertEqual(note["hints"]["desktop-entry"], "orvale-organizer")
            self.assertEqual(note["hints"]["sound-name"], "message-new-instant")
            self.assertEqual(note["hints"]["urgency"], {"byte": 1}, "a missed event is not urgent any more")
        task_popup = self.popup_for("Pay rent")
        self.assertIn("was due at", self.texts(task_popup))

        # The user dismisses the event's notification: its pop-up closes, nothing is written.
        server.control.InvokeAction(event["id"], "dismiss")
        desktop.wait_for("the event's pop-up to close", lambda: self.popup_for("Dentist") is None)
        self.assertEqual(self.warning_of("event", "title", "Dentist & X-ray"), 0)
        self.assertIsNotNone(self.popup_for("Pay rent"))

        # Closing the task's pop-up with its OK button closes its notification.
        desk.click(desk.find("push button", "OK", within=task_popup))
        desktop.wait_for("the pop-up to close", lambda: not self.popups())
        desktop.wait_for("CloseNotification", lambda: task["id"] in server.closed_ids())
        self.assertNotIn(event["id"], server.closed_ids(), "the server had already closed that one")
        self.assertTrue(desk.running())

        # Missed items are caught up once: the next start shows nothing.
        self.desk.organizer.send_signal(signal.SIGTERM)
        self.desk.organizer.wait(timeout=10)
        desk.launch()
        time.sleep(3)
        self.assertEqual(self.popups(), [])
        self.assertEqual(len(server.calls("Notify")), 2)


class OpenAndCloseFromTheNotification(NotificationTest):
    def prepare(self, desk):
        self.server = FakeNotifications(desk)
        add_event(desk, "Dentist", -10, 30)
        add_event(desk, "Haircut", -5, 30)
        add_event(desk, "Lunch", -3, 30)

    def test_open_raises_and_a_closed_notification_closes_its_popup(self):
        desk, server = self.desk, self.server
        desktop.wait_for("three pop-ups", lambda: len(self.popups()) == 3)
        notes = {n["body"].split('"')[1]: n for n in server.wait_notified(3)}

        # The pop-ups cascade; the first lies partly under the others.
        first = self.popup_for("Dentist")
        x, y, w, h = desk.extents(first)
        covered = (x + w - 10, y + h - 10)
        uncovered = (x + 10, y + 10)
        own_window = desk.window_at(*uncovered)
        self.assertNotEqual(desk.window_at(*covered), own_window, "the first pop-up should lie underneath")
        server.control.InvokeAction(notes["Dentist"]["id"], "open")
        desktop.wait_for("the first pop-up on top", lambda: desk.window_at(*covered) == own_window)
        # The server closes a notification after its action; the pop-up the user asked for stays.
        time.sleep(1)
        self.assertIsNotNone(self.popup_for("Dentist"))

        # The user closes a notification: its pop-up closes. One that expires leaves its pop-up.
        server.control.Expire(notes["Lunch"]["id"])
        server.control.CloseByUser(notes["Haircut"]["id"])
        desktop.wait_for("the pop-up to close", lambda: self.popup_for("Haircut") is None)
        self.assertIsNotNone(self.popup_for("Lunch"))
        self.assertEqual(len(self.popups()), 2)
        self.assertEqual(server.closed_ids(), [], "nothing left to close for the organizer")


class ManyMissedInOneSummary(NotificationTest):
    def prepare(self, desk):
        self.server = FakeNotifications(desk)
        for n in range(4):
            add_task(desk, f"Task {n + 1}", -60 - n, 15)
        for n in range(3):
            add_event(desk, f"Event {n + 1}", -120 - n, 30)

    def test_more_than_five_missed_come_in_one_summary(self):
        desk, server = self.desk, self.server
        summary = desk.wait_window(REMINDER)
        note = server.wait_notified(1)[0]
        time.sleep(1)
        self.assertEqual(len(self.popups()), 1)
        self.assertEqual(len(server.calls("Notify")), 1)
        self.assertIn("You missed 7 reminders:", self.texts(summary))
        lines = desk.text_of(desk.find("text", within=summary)).split("\n")
        self.assertEqual(len(lines), 7)
        self.assertTrue(lines[0].startswith('The Task "Task 1" was due at '), lines[0])
        self.assertTrue(lines[-1].startswith('The Event "Event'), lines[-1])
        self.assertEqual(note["body"].split("\n"), ["You missed 7 reminders:"] + lines)
        self.assertEqual(desk.sql("SELECT count(*) FROM task WHERE warning <> 0")[0][0], "0")
        self.assertEqual(desk.sql("SELECT count(*) FROM event WHERE warning <> 0")[0][0], "0")
        if os.environ.get("ORGANIZER_SHOTS"):
            desk.screenshot(os.path.join(os.environ["ORGANIZER_SHOTS"], "missed-summary.png"))

        desk.click(desk.find("push button", "OK", within=summary))
        desk.wait_no_window(REMINDER)
        desktop.wait_for("CloseNotification", lambda: note["id"] in server.closed_ids())


class MissedWithoutServer(NotificationTest):
    """A session bus but nobody serving notifications: the pop-up alone, at once."""

    def prepare(self, desk):
        add_task(desk, "Pay rent", -90, 60)

    def test_popup_without_a_notification_server(self):
        popup = self.desk.wait_window(REMINDER, timeout=10)
        self.assertIn("was due at", self.texts(popup))
        if os.environ.get("ORGANIZER_SHOTS"):
            self.desk.screenshot(os.path.join(os.environ["ORGANIZER_SHOTS"], "missed-popup.png"))
        self.desk.click(self.desk.find("push button", "OK", within=popup))
        self.desk.wait_no_window(REMINDER)
        self.assertTrue(self.desk.running())


class BuslessDesktop(desktop.Desktop):
    """The organizer with no session bus at all. Qt then offers no accessibility
    tree either, so windows are found by their titles on the X server."""

    def launch(self, args=()):
        self.extra_env = {"DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent/organizer-test-bus"}
        self.organizer = self._spawn_organizer(args)
        desktop.wait_for("the main window", lambda: self.x_windows("Orvale Organizer"), timeout=20)
        self.shown = time.monotonic()
        return self


class MissedWithoutSessionBus(unittest.TestCase):
    def setUp(self):
        self.desk = BuslessDesktop()
        self.addCleanup(self.desk.stop)
        add_event(self.desk, "Dentist", -10, 30)
        self.desk.start()

    def test_popup_without_a_bus_comes_at_once(self):
        desk = self.desk
        popup = desktop.wait_for("the pop-up", lambda: desk.x_windows(REMINDER), timeout=5)[0]
        self.assertLess(time.monotonic() - desk.shown, 3, "the pop-up waited for something")
        self.assertEqual(desk.sql("SELECT warning FROM event")[0][0], "0")
        # An event's pop-up has the keyboard; Return is its OK.
        desk.xdotool("windowactivate", "--sync", popup)
        desk.key("Return")
        desktop.wait_for("the pop-up to close", lambda: not desk.x_windows(REMINDER))
        self.assertTrue(desk.running())
