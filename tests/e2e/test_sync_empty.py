"""A collection emptied on the server by another client: Sync Now asks the
person whether to delete its items here or put them back, and each answer,
given with the keyboard, reaches both the database and the server."""

import os
import subprocess
import sys

from desktop import EXE, wait_for
from test_sync_account import AccountTest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sync"))
from servers import PASSWORD, USER, Phone, calendar, event  # noqa: E402

# More than the sync holds back for an emptied collection (50).
COUNT = 60


class EmptiedCollection(AccountTest):
    def prepare(self, desk):
        """An account whose calendar holds COUNT events on both sides before the window opens."""
        added = self.run_organizer(desk, "--add-account", self.server.url, USER, stdin=PASSWORD + "\n")
        self.assertEqual(added.returncode, 0, added.stderr)
        self.phone = Phone(self.server)
        self.calendar = "/" + desk.sql("SELECT href FROM sync_collection WHERE kinds LIKE '%2%'")[0][0].split("/", 3)[3]
        # The server is shared by the file's tests: each starts with an empty calendar.
        for href in self.phone.list(self.calendar):
            self.phone.delete(href)
        path = os.path.join(desk.home, "many.ics")
        with open(path, "w", newline="") as f:
            f.write(calendar(*[event("many-%02d" % i, "Many %d" % i) for i in range(COUNT)]))
        self.assertEqual(self.run_organizer(desk, "--import", path).returncode, 0)
        synced = self.run_organizer(desk, "--sync")  # the password comes from the Secret Service
        self.assertEqual(synced.returncode, 0, synced.stderr)
        self.assertEqual(len(self.phone.list(self.calendar)), COUNT)

    @staticmethod
    def run_organizer(desk, *args, stdin=""):
        return subprocess.run([EXE, *args], input=stdin, capture_output=True, text=True, env=desk.program_env(),
                              timeout=120)

    def empty_the_server_and_sync(self):
        """Waits for the sync at start, empties the calendar as a phone would, presses F5: the question."""
        desk = self.desk
        state = wait_for("the state icon", lambda: self.showing(None, "Sync state"), timeout=30)
        wait_for("the sync at start", lambda: "alice at 127.0.0.1: Synced" in (state.description or ""), timeout=30)
        for href in self.phone.list(self.calendar):
            self.phone.delete(href)
        desk.key("F5")
        question = desk.wait_window("Organizer Alert!", timeout=30)
        shown = [label.name for label in desk.find_all("label", within=question)]
        self.assertTrue(any("came back empty" in text for text in shown), shown)
        # Nothing is deleted before the person answers.
        self.assertEqual(self.events_here(), COUNT)
        return question

    def events_here(self):
        return int(self.desk.sql("SELECT count(*) FROM event")[0][0])

    def items_there(self):
        return len(self.phone.list(self.calendar))

    def test_enter_alone_puts_the_items_back_on_the_server(self):
        desk = self.desk
        self.empty_the_server_and_sync()
        desk.key("Return")
        desk.wait_no_window("Organizer Alert!")
        wait_for("the items back on the server", lambda: self.items_there() == COUNT, timeout=60)
        self.assertEqual(self.events_here(), COUNT)
        # Linked once each: a later sync doubles nothing on either side.
        wait_for("the status rows", lambda: desk.sql(
            "SELECT count(*), count(DISTINCT uid) FROM sync_item WHERE kind = 2") == [[str(COUNT), str(COUNT)]],
            timeout=30)
        code, output = desk.run_program(["--sync"], timeout=60)
        self.assertEqual(code, 0, output)
        self.assertIn("received 0, sent 0, deleted here 0, deleted there 0", output)
        self.assertEqual((self.events_here(), self.items_there()), (COUNT, COUNT))
        self.assertIsNone(desk.window("Organizer Alert!"))

    def test_yes_deletes_the_items_here_too(self):
        desk = self.desk
        question = self.empty_the_server_and_sync()
        # No has the focus; the person moves it to Yes and presses it.
        desk.key("shift+Tab")
        yes = desk.find("push button", "Yes", within=question)
        wait_for("Yes focused", lambda: desk.has_focus(yes))
        desk.key("space")
        desk.wait_no_window("Organizer Alert!")
        wait_for("the events deleted here", lambda: self.events_here() == 0, timeout=30)
        self.assertEqual(self.items_there(), 0)
        self.assertEqual(desk.sql("SELECT count(*) FROM sync_item WHERE kind = 2"), [["0"]])
        code, output = desk.run_program(["--sync"], timeout=60)
        self.assertEqual(code, 0, output)
        self.assertEqual((self.events_here(), self.items_there()), (0, 0))
