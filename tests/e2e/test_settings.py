"""The settings dialog used as a person does, and its effect on the main window."""

import os
import subprocess

import desktop
from desktop import DesktopTest, wait_for

SETTINGS = "Orvale Organizer Settings"
NOTICE = "Organizer Alert!"
RESTART = "You may need to restart Orvale Organizer for some changes to take effect."


def colour_ref(html):
    """"#RRGGBB" as the stored colour, red in the low byte."""
    r, g, b = int(html[1:3], 16), int(html[3:5], 16), int(html[5:7], 16)
    return r | (g << 8) | (b << 16)


class Settings(DesktopTest):
    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (1, 2, 'Beta')")

    def pick_colour(self, settings, button, html):
        desk = self.desk
        desk.click(desk.find("push button", button, within=settings))
        chooser = desk.wait_window("Select Color")
        field = desk.find("text", "HTML:", within=chooser)
        desk.click(field)
        desk.key("ctrl+a")
        desk.type(html)
        desk.click(desk.find("push button", "OK", within=chooser))
        desk.wait_no_window("Select Color")
        # A colour hard to read against another is taken after one warning.
        try:
            desk.wait_window(NOTICE, timeout=2)
        except desktop.Timeout:
            return
        desk.key("Return")
        desk.wait_no_window(NOTICE)

    def shows_colour(self, acc, colour):
        return desktop.colour_bytes(colour) in set(desktop.pixels(self.desk.grab(acc)))

    def test_options_and_colours_are_saved_and_shown_at_once_and_after_a_restart(self):
        desk = self.desk
        desk.click(desk.find("push button", "Settings"))
        settings = desk.wait_window(SETTINGS)
        for box in ["Keep Orvale Organizer on top", "Start Orvale Organizer when I log in"]:
            check = desk.find("check box", box, within=settings)
            desk.click(check)
            wait_for(f"{box!r} ticked", lambda: check.getState().contains(desktop.pyatspi.STATE_CHECKED), 5)
        self.pick_colour(settings, "Select background color", "#203040")
        self.pick_colour(settings, "Select text color", "#f0f0e0")
        desk.click(desk.find("push button", "Save", within=settings))
        desk.wait_message(RESTART)
        desk.key("Return")
        desk.wait_no_window(SETTINGS)

        background, text = colour_ref("#203040"), colour_ref("#f0f0e0")
        self.assertEqual(desk.sql("SELECT stay_on_top, autostart, clr_background, clr_text FROM settings"),
                         [["1", "1", str(background), str(text)]])
        entry = os.path.join(desk.config, "autostart", "org.tavrin.OrvaleOrganizer.desktop")
        with open(entry, encoding="utf-8") as autostart:
            self.assertNotIn("Hidden=true", autostart.read())
        state = subprocess.run(["xprop", "-id", str(desk.x_windows("Orvale Organizer")[0]), "_NET_WM_STATE"],
                               env=desk._env(), capture_output=True, text=True).stdout
        self.assertIn("_NET_WM_STATE_ABOVE", state)

        def everywhere():
            header = [desk.main]
            return all(self.shows_colour(acc, background) for acc in
                       header + [desk.find("page tab list"), desk.find("tree", "Tasks")])
        wait_for("the new background in the header, the tabs and the list", everywhere, 5)
        self.assertTrue(self.shows_colour(desk.find("page tab", "My Tasks"), text), "tab labels in the new text colour")

        # Ended and started again, the program keeps them.
        desk.key("ctrl+q")
        wait_for("the program to end", lambda: not desk.running())
        desk.launch()
        wait_for("the kept background", lambda: self.shows_colour(desk.find("tree", "Tasks"), background), 5)
