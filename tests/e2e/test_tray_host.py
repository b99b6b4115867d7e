"""The notification-area icon where the host shows StatusNotifierItems: a
single click does what a double click does elsewhere, and its menu shows or
hides the window, imports and exports, and quits."""

from desktop import wait_for
from tray_host import NotificationAreaTest

MAIN = "Orvale Organizer"


class TrayHost(NotificationAreaTest):
    def hidden(self):
        return not self.desk.x_windows(MAIN)

    def minimise(self):
        self.desk.click(self.desk.find("push button", "Minimize"))
        wait_for("the window hidden in the tray", self.hidden)

    def test_a_single_click_brings_the_hidden_window_back_and_sends_it_away(self):
        self.minimise()
        self.click_icon()
        wait_for("the window back", lambda: not self.hidden())
        self.click_icon()
        wait_for("the window in the tray again", self.hidden)
        self.assertTrue(self.desk.running())

    def test_the_menu_hides_shows_and_quits(self):
        desk = self.desk
        self.assertEqual(set(self.menu()), {"Hide Orvale Organizer", "Import...", "Export...", "Quit"})
        self.choose("Hide Orvale Organizer")
        wait_for("the window hidden", self.hidden)
        self.assertEqual(set(self.menu()), {"Show Orvale Organizer", "Import...", "Export...", "Quit"})
        # Import... from the tray brings the window back with its file dialog over it.
        self.choose("Import...")
        desk.wait_window("Import")
        self.assertFalse(self.hidden())
        desk.key("Escape")
        desk.wait_no_window("Import")
        self.choose("Hide Orvale Organizer")
        wait_for("the window hidden", self.hidden)
        self.choose("Show Orvale Organizer")
        wait_for("the window shown", lambda: not self.hidden())
        self.choose("Quit")
        self.assertEqual(desk.organizer.wait(10), 0)
