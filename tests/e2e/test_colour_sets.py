"""A dark colour set: greyed text readable, check boxes in the user's colours, the colour picker
starting on the colour changed, the defaults one click away, and long messages that fit the screen."""

import desktop
from desktop import DesktopTest, wait_for
from test_settings import NOTICE, RESTART, SETTINGS, colour_ref

DARK = {"clr_background": colour_ref("#202428"), "clr_text": colour_ref("#e8e8e0"),
        "clr_highlight": colour_ref("#305070"), "clr_border": colour_ref("#8090a0")}
DEFAULTS = {"clr_background": 15660278, "clr_text": 2696481, "clr_border": 9203808, "clr_highlight": 16047564,
            "clr_lo_prior": 11065000, "clr_med_prior": 9228021, "clr_hi_prior": 10724338}


def luminance(rgb):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


class DarkColourSet(DesktopTest):
    SETTINGS = DARK

    def background(self):
        return tuple(desktop.colour_bytes(DARK["clr_background"]))

    def test_greyed_text_readable_and_check_boxes_not_white(self):
        desk = self.desk
        desk.click(desk.find("push button", "Add New Task"))
        editor = desk.wait_window("Add New Task")
        # The time box is greyed until the task has a date.
        greyed = desk.find("check box", "Completion Time", within=editor)
        self.assertFalse(greyed.getState().contains(desktop.pyatspi.STATE_ENABLED))
        shades = {tuple(p) for p in desktop.pixels(desk.grab(greyed))}
        best = max(contrast(shade, self.background()) for shade in shades)
        self.assertGreaterEqual(best, 3.0, "greyed text too faint to read")
        box = desk.find("check box", "Completion Date", within=editor)
        self.assertFalse(b"\xff\xff\xff" in set(desktop.pixels(desk.grab(box))), "a white check box")
        desk.click(desk.find("push button", "Cancel", within=editor))
        desk.wait_no_window("Add New Task")

    def test_picker_starts_on_the_colour_and_defaults_come_back(self):
        desk = self.desk
        desk.click(desk.find("push button", "Settings"))
        settings = desk.wait_window(SETTINGS)
        desk.click(desk.find("push button", "Select text color", within=settings))
        chooser = desk.wait_window("Select Color")
        field = desk.find("text", "HTML:", within=chooser)
        self.assertEqual(desk.text_of(field).lower(), "#e8e8e0")

        # A text colour close to the background: the long warning wraps and sits on its owner.
        desk.click(field)
        desk.key("ctrl+a")
        desk.type("#262a2e")
        desk.click(desk.find("push button", "OK", within=chooser))
        warning = desk.wait_window(NOTICE)
        x, y, w, h = desk.extents(warning)
        sx, sy, sw, sh = desk.extents(settings)
        self.assertLessEqual(w, 800, "the message is not wrapped")
        self.assertGreaterEqual(x, 0)
        self.assertLessEqual(x + w, desktop.ROOT_SIZE[0])
        self.assertLessEqual(abs((x + w / 2) - (sx + sw / 2)), 2, "not centred on its owner")
        self.assertLessEqual(abs((y + h / 2) - (sy + sh / 2)), 2, "not centred on its owner")
        desk.key("Return")
        desk.wait_no_window(NOTICE)

        desk.click(desk.find("push button", "Restore Defaults", within=settings))
        swatch = desk.find("label", "Text color", within=settings)
        wait_for("the default text colour shown",
                 lambda: colour_ref(swatch.description) == DEFAULTS["clr_text"], 5)
        desk.click(desk.find("push button", "Save", within=settings))
        desk.wait_message(RESTART)
        desk.key("Return")
        desk.wait_no_window(SETTINGS)
        columns = ", ".join(DEFAULTS)
        self.assertEqual(desk.sql(f"SELECT {columns} FROM settings"), [[str(v) for v in DEFAULTS.values()]])
