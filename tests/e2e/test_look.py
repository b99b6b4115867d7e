"""What a person sees: nothing cut, every surface in the user's colours, at any size and theme."""

import desktop
from desktop import DesktopTest, wait_for

LONG_NAME = "Renew the car insurance before the end of the month, and compare two offers first"


def luminance(pixel):
    r, g, b = pixel
    return 0.299 * r + 0.587 * g + 0.114 * b


class Columns(DesktopTest):
    def prepare(self, desk):
        day = desktop.today_day_number()
        # 28 December at 23:45 has the widest date and time of the year.
        desk.sql("INSERT INTO task (category_id, priority_id, name, deadline, deadline_time, due_date, due_time) "
                 f"VALUES (1, 1, '{LONG_NAME}', 1, 1, {day + 20}, 0.989583)")

    def test_every_column_fits_and_a_cut_text_has_its_tooltip(self):
        desk = self.desk
        for tab, tree in [("alt+1", "Tasks"), ("alt+2", "Contacts"), ("alt+3", "Events"), ("alt+4", "Notes")]:
            desk.key(tab)
            table = desk.find("tree", tree)
            x, y, w, h = desk.extents(table)
            headers = desk.find_all("table column header", within=table)
            self.assertTrue(headers)
            for header in headers:
                try:
                    hx, _, hw, _ = desk.extents(header)
                except NotImplementedError:
                    continue  # a hidden column ("Date" of a single day's events) has no place on the screen
                self.assertLessEqual(hx + hw, x + w, f"column {header.name!r} of {tree} reaches past the list")
        desk.key("alt+1")
        name = desk.find("table cell", LONG_NAME)
        nx, ny, nw, nh = desk.extents(name)
        desk.xdotool("mousemove", "--sync", nx + nw // 2, ny + nh // 2)
        desk.xdotool("mousemove", "--sync", nx + nw // 2 + 3, ny + nh // 2)
        tip = wait_for("the tooltip with the whole name", lambda: [
            w for w in desk.windows() if w is not None and w.getRoleName() == "tool tip" and
            LONG_NAME in (w.name + "".join(c.name for c in w))])
        self.assertTrue(tip)


class DarkDesktopTheme(DesktopTest):
    """A dark desktop theme must not reach into the user's light windows."""

    ENV = {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"}

    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (1, 2, 'Beta')")

    def dark_share(self, acc):
        shown = desktop.pixels(self.desk.grab(acc))
        return sum(1 for p in shown if luminance(p) < 60) / len(shown)

    def test_controls_stay_in_the_users_colours(self):
        desk = self.desk
        cell = desk.find("table cell", "Beta")
        x, y, w, h = desk.extents(cell)
        box = desk.grab(cell)
        # The row's check box sits at its left: light inside, as the user's list is.
        left = [p for i, p in enumerate(desktop.pixels(box)) if (i % w) < h]
        self.assertLess(sum(1 for p in left if luminance(p) < 60) / len(left), 0.2, "the check box is dark")
        self.assertLess(self.dark_share(desk.find("combo box")), 0.2, "the sort selector is dark")
        desk.key("alt+3")
        calendar = desk.find("table", within=desk.find("tree", "Events").parent)
        self.assertLess(self.dark_share(calendar), 0.3, "the calendar is dark")
        background = desktop.colour_bytes(int(desk.sql("SELECT clr_background FROM settings")[0][0]))
        self.assertIn(background, set(desktop.pixels(desk.grab(desk.main))))


class LargeFonts(DesktopTest):
    """At 144 dpi every frame keeps its four sides (screen pixels are 1.5 of the tree's)."""

    ENV = {"QT_FONT_DPI": "144"}

    def test_list_frame_and_current_tab_are_whole(self):
        desk = self.desk
        scale = 1.5
        border = desktop.colour_bytes(int(desk.sql("SELECT clr_border FROM settings")[0][0]))
        x, y, w, h = [round(v * scale) for v in desk.extents(desk.find("tree", "Tasks"))]
        path = desk.home + "/shot.rgb"
        desk.screenshot_rgb(path)
        screen = desk.read_rgb(path)
        right = [screen(x + w - dx, y + h // 2) for dx in (1, 2)]
        self.assertIn(border, right, "the list's right edge is not drawn")
        tx, ty, tw, th = [round(v * scale) for v in desk.extents(desk.find("page tab", "My Tasks"))]
        text = desktop.colour_bytes(int(desk.sql("SELECT clr_text FROM settings")[0][0]))
        top = [screen(tx + tw // 2, ty + dy) for dy in range(3)]
        self.assertIn(text, top, "the current tab has no top edge")


class MonthCalendar(DesktopTest):
    """The day grid of the dates page lies on the user's background, every day in the text colour."""


    def test_days_in_the_users_colours(self):
        desk = self.desk
        colours = desk.sql("SELECT clr_background, clr_text, clr_highlight FROM settings")[0]
        background, text, highlight = (desktop.colour_bytes(int(c)) for c in colours)
        desk.key("alt+3")
        calendar = desk.find("table", within=desk.find("tree", "Events").parent)
        # The day grid alone, header of day names included: the cells' bounding box.
        boxes = [desk.extents(cell) for cell in desk.find_all("table cell", within=calendar)]
        left, top = min(x for x, _, _, _ in boxes), min(y for _, y, _, _ in boxes)
        right, bottom = max(x + w for x, _, w, _ in boxes), max(y + h for _, y, _, h in boxes)
        self.assertGreater((right - left) * (bottom - top), 100 * 80, "the day grid is not where it was looked for")
        path = desk.home + "/screen.rgb"
        desk.screenshot_rgb(path)
        pixel = desk.read_rgb(path)
        shown = [pixel(x, y) for y in range(top, bottom) for x in range(left, right)]

        def off_line(pixel, start, end):
            """How far a pixel lies from every blend of two colours (anti-aliased text is such a blend)."""
            direction = [e - s for s, e in zip(start, end)]
            length = sum(d * d for d in direction) or 1
            t = max(0.0, min(1.0, sum((p - s) * d for p, s, d in zip(pixel, start, direction)) / length))
            return max(abs(p - (s + t * d)) for p, s, d in zip(pixel, start, direction))

        self.assertGreater(shown.count(background) / len(shown), 0.5, "the grid is not in the background colour")
        self.assertIn(text, set(shown), "no day is drawn in the text colour")
        # Only text on background, and the selected day on the highlight colour:
        # no white grid, no red weekend.
        strange = [p for p in set(shown) if min(off_line(p, background, text), off_line(p, highlight, text)) > 24]
        self.assertEqual(strange, [], "colours that are neither text nor background")


class DarkMonthCalendar(MonthCalendar):
    SETTINGS = {"clr_background": 0x2A2420, "clr_text": 0xE8E4E0, "clr_highlight": 0x6A4A30}
