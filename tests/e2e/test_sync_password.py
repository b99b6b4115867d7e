"""A sync account on a desktop without a Secret Service: the organizer asks
for the password once per run, keeps it in memory, and asks again only when
the person says Sync Now."""

import os
import subprocess
import sys
import tempfile
import shutil
import signal
import time

import dbus
import pyatspi

from desktop import DesktopTest, save_screen, wait_for

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sync"))
from servers import PASSWORD, USER, Phone, Server, calendar, event  # noqa: E402

PASSWORD_WINDOW = "Account Password"

HERE = os.path.dirname(os.path.abspath(__file__))


class PasswordAskedOncePerRun(DesktopTest):
    @classmethod
    def setUpClass(cls):
        cls.server = Server("radicale")
        # The organizer's session bus has no Secret Service; the accessibility
        # bus stays the test's own, so the window can still be found.
        cls.bus_folder = tempfile.mkdtemp(prefix="organizer-bus-")
        a11y = str(dbus.SessionBus().get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
            dbus_interface="org.a11y.Bus"))
        cls.bus = subprocess.Popen([sys.executable, os.path.join(HERE, "bare_session_bus.py"), cls.bus_folder, a11y],
                                   stdout=subprocess.PIPE, text=True)
        cls.bus_address = cls.bus.stdout.readline().strip()

    @classmethod
    def tearDownClass(cls):
        cls.bus.terminate()
        cls.bus.wait(10)
        shutil.rmtree(cls.bus_folder, ignore_errors=True)
        cls.server.remove()

    def prepare(self, desk):
        desk.extra_env = {"DBUS_SESSION_BUS_ADDRESS": self.bus_address}
        # A first run adds the account; its password dies with it.
        added = subprocess.run([os.environ["ORGANIZER_EXE"], "--add-account", self.server.url, USER],
                               input=PASSWORD + "\n", env=desk.program_env(), capture_output=True, text=True,
                               timeout=60)
        self.assertEqual(added.returncode, 0, added.stderr)
        self.assertIn("No Secret Service answered", added.stderr)
        (href,) = [h for (h, kinds) in desk.sql("SELECT href, kinds FROM sync_collection") if "2" in kinds.split(",")]
        Phone(self.server).put(href + "phone-1.ics", calendar(event("phone-1", "Dentist")))

    def header_state(self):
        icon = pyatspi.findDescendant(self.desk.main, lambda a: a is not None and a.name == "Sync state" and
                                      self.desk.is_showing(a))
        return (icon.description or "") if icon is not None else ""

    def ask_dialog(self):
        dialog = self.desk.wait_window(PASSWORD_WINDOW, timeout=30)
        shown = [label.name for label in self.desk.find_all("label", within=dialog)]
        self.assertTrue(any("alice at " + self.server.url in text for text in shown), shown)
        return dialog

    def answer(self, dialog, password):
        desk = self.desk
        field = desk.find("password text", "Password", within=dialog)
        wait_for("the password field focused", lambda: desk.has_focus(field))
        desk.type(password)
        desk.key("Return")
        desk.wait_no_window(PASSWORD_WINDOW)

    def test_the_password_is_asked_for_kept_for_the_run_and_asked_again_only_on_sync_now(self):
        desk = self.desk
        # The started window has no password: it asks, naming the account and server.
        dialog = self.ask_dialog()
        save_screen(desk, "password")
        self.answer(dialog, "not the password")
        wait_for("the refusal shown", lambda: "alice at 127.0.0.1: Password refused" in self.header_state(),
                 timeout=30)

        # A refused password is not asked for again by itself; Sync Now asks.
        desk.key("F5")
        dialog = self.ask_dialog()
        desk.key("Escape")
        desk.wait_no_window(PASSWORD_WINDOW)
        wait_for("the account waiting",
                 lambda: "Waiting for the password: Sync Now asks for it" in self.header_state())
        # A change from another program would sync a few seconds later: it does
        # not bring the question back while the account waits.
        desk.sql("INSERT INTO note (subject, content) VALUES ('Elsewhere', 'x')")
        deadline = time.monotonic() + 8
        while time.monotonic() < deadline:
            self.assertIsNone(desk.window(PASSWORD_WINDOW))
            time.sleep(0.5)

        desk.key("ctrl+r")
        self.answer(self.ask_dialog(), PASSWORD)
        wait_for("the account synced", lambda: "alice at 127.0.0.1: Synced" in self.header_state(), timeout=30)
        wait_for("the phone's event here", lambda: desk.sql("SELECT title FROM event") == [["Dentist"]], timeout=10)
        with open(desk.db, "rb") as stored:
            self.assertNotIn(PASSWORD.encode(), stored.read())

        # Kept for the run: later syncs do not ask.
        desk.key("F5")
        time.sleep(3)
        self.assertIsNone(desk.window(PASSWORD_WINDOW))
        self.assertIn("alice at 127.0.0.1: Synced", self.header_state())

        # Only for the run: the next one asks again, once, and syncs with it.
        desk.organizer.send_signal(signal.SIGTERM)
        desk.organizer.wait(10)
        (href,) = [h for (h, kinds) in desk.sql("SELECT href, kinds FROM sync_collection") if "2" in kinds.split(",")]
        Phone(self.server).put(href + "phone-2.ics", calendar(event("phone-2", "Optician")))
        desk.launch()
        self.answer(self.ask_dialog(), PASSWORD)
        wait_for("the phone's new event here", lambda: sorted(desk.sql("SELECT title FROM event")) ==
                 [["Dentist"], ["Optician"]], timeout=30)
        desk.key("F5")
        time.sleep(3)
        self.assertIsNone(desk.window(PASSWORD_WINDOW))
