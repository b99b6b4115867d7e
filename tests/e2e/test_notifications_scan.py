"""A reminder that falls due while the organizer runs comes as a pop-up and a
desktop notification together (its own file: it waits for the minute scan)."""

import desktop
from test_notifications import FakeNotifications, NotificationTest
from test_reminders import REMINDER, SCAN_WAIT, add_event


class NotificationAtTheScan(NotificationTest):
    def prepare(self, desk):
        self.server = FakeNotifications(desk)
        add_event(desk, "Standup", 3, 5)

    def test_an_event_due_soon_notifies_urgently_beside_its_popup(self):
        desk, server = self.desk, self.server
        popup = desk.wait_window(REMINDER, SCAN_WAIT)
        self.assertIn('The Event "Standup" is scheduled for ', self.texts(popup))
        note = server.wait_notified(1)[0]
        self.assertTrue(note["body"].startswith('The Event "Standup" is scheduled for '), note["body"])
        self.assertEqual(note["hints"]["urgency"], {"byte": 2}, "an event within five minutes is urgent")
        self.assertEqual(note["hints"]["sound-name"], "message-new-instant")

        desk.click(desk.find("push button", "OK", within=popup))
        desk.wait_no_window(REMINDER)
        desktop.wait_for("CloseNotification", lambda: note["id"] in server.closed_ids())
        self.assertEqual(self.warning_of("event", "title", "Standup"), 0)
