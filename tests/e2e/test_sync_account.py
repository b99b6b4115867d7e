"""A sync account added in the dialog against a local Radicale, with a real
Secret Service, and a phone (python3-caldav) on the same account."""

import os
import subprocess
import sys
import shutil
import signal
import tempfile

import caldav
import pyatspi

from desktop import DARK, DesktopTest, save_screen, wait_for

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sync"))
from servers import PASSWORD, USER, Server  # noqa: E402
from test_tls import make_certificate  # noqa: E402


class AccountTest(DesktopTest):
    """One Radicale and one Secret Service for the file's tests."""

    @classmethod
    def setUpClass(cls):
        cls.server = Server("radicale")
        cls.keyring_home = tempfile.mkdtemp(prefix="organizer-keyring-")
        env = dict(os.environ, HOME=cls.keyring_home, XDG_RUNTIME_DIR=cls.keyring_home)
        cls.keyring = subprocess.Popen(["gnome-keyring-daemon", "--foreground", "--unlock", "--components=secrets"],
                                       stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, env=env)
        cls.keyring.stdin.write(b"keyring-password")
        cls.keyring.stdin.close()

    @classmethod
    def tearDownClass(cls):
        cls.keyring.terminate()
        cls.keyring.wait(10)
        shutil.rmtree(cls.keyring_home, ignore_errors=True)
        cls.server.remove()

    def open_add_dialog(self):
        desk = self.desk
        desk.click(desk.find("push button", "Settings"))
        settings = desk.wait_window("Orvale Organizer Settings")
        desk.click(desk.find("push button", "Accounts...", within=settings))
        accounts = desk.wait_window("Accounts")
        desk.click(desk.find("push button", "Add...", within=accounts))
        return accounts, desk.wait_window("Add Account")

    def fill(self, dialog, server, password):
        desk = self.desk
        for role, name, text in (("text", "Server", server), ("text", "User name", USER),
                                 ("password text", "Password", password)):
            field = desk.find(role, name, within=dialog)
            desk.click(field)
            desk.key("ctrl+a")
            desk.type(text)
        desk.click(desk.find("push button", "Find Calendars", within=dialog))

    def showing(self, role, name):
        """The showing control of a role (None: any) and name in the main window, or None at once."""
        desk = self.desk
        return pyatspi.findDescendant(desk.main, lambda a: a is not None and role in (None, a.getRoleName()) and
                                      a.name == name and desk.is_showing(a))

    def state_shown(self, dialog):
        """The text of the dialog's search state line."""
        return self.desk.find("label", "Search state", within=dialog).description


class AddAndSync(AccountTest):
    # The event is made on the day shown: far from midnight, whenever the test runs.
    LOCAL_TIME = "12:00"

    def phone_events(self):
        client = caldav.DAVClient(url=self.server.url, username=USER, password=PASSWORD)
        found = {}
        for calendar in client.principal().calendars():
            for item in calendar.events():
                found[str(item.icalendar_component.get("summary"))] = item
        return found

    def rows(self):
        return self.desk.table_rows(self.desk.find("tree", "Events"))

    def test_an_account_added_in_the_dialog_syncs_an_event_both_ways(self):
        desk = self.desk
        # Without an account the header has nothing to say about syncing.
        self.assertIsNone(self.showing("push button", "Sync Now"))

        accounts, add = self.open_add_dialog()
        self.fill(add, self.server.url, PASSWORD)
        wait_for("the collections found", lambda: self.state_shown(add).startswith("Found "), timeout=30)
        # A new account on Radicale has none: the organizer offers to make one.
        # Tasks, events, notes and contacts, in that order.
        choices = [desk.text_of(box) for box in desk.find_all("combo box", within=add)]
        self.assertEqual(choices, ['New: "Orvale Organizer"'] * 4)
        save_screen(desk, "add-account")
        desk.click(desk.find("push button", "Add", within=add))
        desk.wait_no_window("Add Account", timeout=30)

        listing = desk.find("tree", "Accounts", within=accounts)
        wait_for("the account synced", lambda: [r[1] for r in desk.table_rows(listing)] == ["Synced just now"],
                 timeout=30)
        self.assertEqual(desk.table_rows(listing)[0][0], "alice at 127.0.0.1")
        save_screen(desk, "accounts")
        self.assertEqual(desk.sql("SELECT user, url FROM sync_account"), [[USER, self.server.url]])
        self.assertEqual(sorted(k for (k,) in desk.sql("SELECT kinds FROM sync_collection")), ["0,2,3", "1"])
        with open(desk.db, "rb") as stored:
            self.assertNotIn(PASSWORD.encode(), stored.read())
        desk.click(desk.find("push button", "Close", within=accounts))
        desk.wait_no_window("Accounts")
        desk.key("Escape")
        desk.wait_no_window("Orvale Organizer Settings")

        # The header now shows the state and offers Sync Now with its keys.
        # The state icon is a picture; its name says what it is, its description the states.
        state = wait_for("the state icon", lambda: self.showing(None, "Sync state"))
        wait_for("the state in the header", lambda: "alice at 127.0.0.1: Synced" in (state.description or ""))
        self.assertEqual(desk.find("push button", "Sync Now").description, "F5, Ctrl+R")

        # An event made in the editor reaches the server a few seconds later.
        desk.key("alt+3")
        wait_for("the events page", lambda: desk.find("tree", "Events"))
        desk.click(desk.find("push button", "Add New Event"))
        editor = wait_for("the event editor", lambda: [w for w in desk.windows() if w is not None and
                                                        w.name.startswith("Schedule Event for ") and
                                                        desk.is_showing(w)])[0]
        desk.click(desk.find("text", "Event name", within=editor))
        desk.type("Lunch with Ann")
        desk.click(desk.find("push button", "Save", within=editor))
        wait_for("the day lists it", lambda: [r[-1] for r in self.rows()] == ["Lunch with Ann"])
        found = wait_for("the phone finds it", lambda: self.phone_events().get("Lunch with Ann"), timeout=40)

        # The phone changes it; F5 brings the change here.
        found.icalendar_component["summary"] = "Lunch with Ann and Bo"
        found.save()
        desk.key("F5")
        wait_for("the change listed", lambda: [r[-1] for r in self.rows()] == ["Lunch with Ann and Bo"], timeout=30)
        self.assertEqual(desk.sql("SELECT title FROM event"), [["Lunch with Ann and Bo"]])
        save_screen(desk, "header")

        # The password is in the Secret Service: a --sync without one on its input finds it.
        code, output = desk.run_program(["--sync"], timeout=60)
        self.assertEqual(code, 0, output)

        # Started again, the organizer syncs once its window is up, with the password from there.
        changed = self.phone_events()["Lunch with Ann and Bo"]
        changed.icalendar_component["summary"] = "Dinner with Ann"
        changed.save()
        desk.organizer.send_signal(signal.SIGTERM)
        desk.organizer.wait(10)
        desk.launch()
        desk.key("alt+3")
        wait_for("the change of the phone listed", lambda: [r[-1] for r in self.rows()] == ["Dinner with Ann"],
                 timeout=30)


class RefusedAccounts(AccountTest):
    SETTINGS = DARK

    def test_a_plain_remote_address_and_a_wrong_password_are_refused_and_nothing_is_stored(self):
        desk = self.desk
        accounts, add = self.open_add_dialog()
        save_screen(desk, "add-account-dark")
        self.fill(add, "http://dav.example.org/", PASSWORD)
        wait_for("the address refused", lambda: self.state_shown(add).startswith(
            "Plain http:// is accepted only for this computer's own addresses"))
        self.fill(add, self.server.url, "not the password")
        wait_for("the password refused",
                 lambda: self.state_shown(add) == "The server refused the user name or password.", timeout=30)
        self.assertFalse(desk.find("push button", "Add", within=add).getState().contains(pyatspi.STATE_ENABLED))
        desk.click(desk.find("push button", "Cancel", within=add))
        desk.wait_no_window("Add Account")
        self.assertEqual(desk.table_rows(desk.find("tree", "Accounts", within=accounts)), [])
        save_screen(desk, "accounts-dark")
        self.assertEqual(desk.sql("SELECT count(*) FROM sync_account"), [["0"]])


class TrustedCertificate(AccountTest):
    def test_the_person_trusts_the_certificate_shown_it_is_pinned_and_a_new_one_is_trusted_from_the_list(self):
        desk = self.desk
        folder = tempfile.mkdtemp(prefix="organizer-tls-")
        self.addCleanup(shutil.rmtree, folder, True)
        tls, fingerprint = make_certificate(folder, "server")
        server = Server("radicale", tls=tls)
        self.addCleanup(server.remove)
        accounts, add = self.open_add_dialog()
        self.fill(add, server.url, PASSWORD)
        question = desk.wait_window("Organizer Alert!", timeout=30)
        shown = [label.name for label in desk.find_all("label", within=question)]
        self.assertTrue(any(fingerprint in text for text in shown), shown)
        save_screen(desk, "trust-certificate")
        desk.click(desk.find("push button", "Yes", within=question))
        wait_for("the collections found", lambda: self.state_shown(add).startswith("Found "), timeout=30)
        desk.click(desk.find("push button", "Add", within=add))
        desk.wait_no_window("Add Account", timeout=30)
        listing = desk.find("tree", "Accounts", within=accounts)
        wait_for("the account synced", lambda: [r[1] for r in desk.table_rows(listing)] == ["Synced just now"],
                 timeout=30)
        self.assertEqual(desk.sql("SELECT url, pinned_sha256 FROM sync_account"),
                         [[server.url, fingerprint.replace(":", "")]])
        trust = desk.find("push button", "Trust Certificate...", within=accounts, showing=False)
        self.assertFalse(desk.is_showing(trust))

        # The server shows another certificate: refused, and named in the list.
        server.stop()
        server.tls, other = make_certificate(folder, "renewed")
        server.start()
        desk.click(desk.find("push button", "Sync Now", within=accounts))
        wait_for("the new certificate refused",
                 lambda: "not trusted (SHA-256 %s)" % other in desk.table_rows(listing)[0][1], timeout=30)
        trust = desk.find("push button", "Trust Certificate...", within=accounts)
        save_screen(desk, "accounts-certificate-changed")

        # Enter alone answers No: the old certificate stays the trusted one.
        desk.click(trust)
        question = desk.wait_window("Organizer Alert!")
        shown = [label.name for label in desk.find_all("label", within=question)]
        self.assertTrue(any(other in text and "shows another certificate" in text for text in shown), shown)
        save_screen(desk, "trust-renewed-certificate")
        desk.key("Return")
        desk.wait_no_window("Organizer Alert!")
        self.assertEqual(desk.sql("SELECT pinned_sha256 FROM sync_account"), [[fingerprint.replace(":", "")]])

        # Yes replaces the pin and syncs at once.
        desk.click(trust)
        question = desk.wait_window("Organizer Alert!")
        desk.click(desk.find("push button", "Yes", within=question))
        wait_for("the account synced again",
                 lambda: [r[1] for r in desk.table_rows(listing)] == ["Synced just now"], timeout=30)
        self.assertEqual(desk.sql("SELECT pinned_sha256 FROM sync_account"), [[other.replace(":", "")]])
        wait_for("the offer gone", lambda: not desk.is_showing(trust))
