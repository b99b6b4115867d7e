"""Getting around a long list: a scroll bar, a main window that grows and keeps its size, and a
calendar that shows today and goes back to it."""

import calendar
import time

import pyatspi

import desktop
from desktop import DesktopTest, today_day_number, wait_for

COUNT = 40


class LongList(DesktopTest):
    def prepare(self, desk):
        values = ", ".join(f"(1, 2, 'Task {n:02d}')" for n in range(1, COUNT + 1))
        desk.sql(f"INSERT INTO task (category_id, priority_id, name) VALUES {values}")

    def first_row_in_view(self, table):
        ty = self.desk.extents(table)[1]
        cells = table.queryTable()
        for r in range(cells.nRows):
            cell = cells.getAccessibleAt(r, 0)
            if self.desk.extents(cell)[1] > ty:
                return cell.name
        return None

    def test_scroll_bar_resize_maximise_and_size_kept(self):
        desk = self.desk
        table = desk.find("tree", "Tasks")
        wait_for("the first rows shown", lambda: self.first_row_in_view(table) == "Task 01")
        # The scroll bar at the list's right edge: a click below its handle shows the next rows,
        # and the selection stays where it was.
        tx, ty, tw, th = desk.extents(table)
        desk.click_at(tx + tw - 8, ty + th - 40)
        wait_for("the list scrolled by the bar", lambda: self.first_row_in_view(table) != "Task 01", 5)
        self.assertEqual(desk.sql("SELECT count(*) FROM task WHERE completed = 1"), [["0"]])
        x, y, w, h = desk.extents(desk.main)
        _, _, list_w, list_h = desk.extents(table)
        close = desk.find("push button", "Close")
        settings = desk.find("push button", "Settings")
        close_gap = x + w - sum(desk.extents(close)[0::2])
        settings_gap = (x + w - sum(desk.extents(settings)[0::2]), y + h - sum(desk.extents(settings)[1::2]))

        # The grip in the corner is dragged down and right.
        desk.xdotool("mousemove", "--sync", x + w - 6, y + h - 6)
        desk.xdotool("mousedown", 1)
        for step in range(1, 11):
            desk.xdotool("mousemove", "--sync", x + w - 6 + 20 * step, y + h - 6 + 15 * step)
            time.sleep(0.05)
        desk.xdotool("mouseup", 1)
        wait_for("the window grown", lambda: desk.extents(desk.main)[2] >= w + 150, 5)
        nx, ny, nw, nh = desk.extents(desk.main)
        self.assertGreaterEqual(nh, h + 100)
        _, _, new_list_w, new_list_h = desk.extents(table)
        self.assertGreater(new_list_w, list_w + 100, "the list did not grow with the window")
        self.assertGreater(new_list_h, list_h + 80)
        self.assertEqual(nx + nw - sum(desk.extents(close)[0::2]), close_gap, "Close left the right edge")
        self.assertEqual((nx + nw - sum(desk.extents(settings)[0::2]), ny + nh - sum(desk.extents(settings)[1::2])),
                         settings_gap, "Settings left the bottom right corner")

        # A double click on the header maximises, another gives the size back.
        desk.click_at(nx + nw // 2, ny + 8, repeat=2)
        wait_for("maximised", lambda: desk.extents(desk.main)[2:] == desktop.ROOT_SIZE, 5)
        desk.click_at(desktop.ROOT_SIZE[0] // 2, 8, repeat=2)
        wait_for("the size back", lambda: desk.extents(desk.main)[2:] == (nw, nh), 5)

        # The next start opens at that size.
        desk.key("ctrl+q")
        wait_for("the program to end", lambda: not desk.running())
        desk.launch()
        wait_for("the size kept", lambda: desk.extents(desk.main)[2:] == (nw, nh), 10)


class TodayOnTheCalendar(DesktopTest):
    LOCAL_TIME = "12:00"  # today stays today while the test runs

    def prepare(self, desk):
        desk.sql("INSERT INTO event (event_date, using_time, event_time, title, note, warning) "
                 f"VALUES ({today_day_number()}, 0, 0, 'Lunch today', '', 0)")

    def month_cells(self, cal):
        """The cells of the month shown, by day: the grid also shows days of the months around it."""
        grid = [child for child in (cal.getChildAtIndex(i) for i in range(cal.childCount))
                if child is not None and child.getRoleName() == "table"][0]
        cells = [grid.getChildAtIndex(i) for i in range(grid.childCount)]
        cells = [cell for cell in cells if cell is not None and cell.getRoleName() == "table cell"]
        names = [cell.name for cell in cells]
        first = names.index("1")
        last = calendar.monthrange(*time.localtime()[:2])[1]
        return {day: cells[first + day - 1] for day in range(1, last + 1)}

    def test_today_marked_and_home_goes_back(self):
        desk = self.desk
        desk.key("alt+3")
        events = wait_for("the events page", lambda: desk.find("tree", "Events"))
        wait_for("today's event listed", lambda: desk.table_rows(events) == [["All Day", "Lunch today"]])
        cal = desk.find("table", within=events.parent)
        now = time.localtime()
        days = self.month_cells(cal)
        highlight = desktop.colour_bytes(int(desk.sql("SELECT clr_highlight FROM settings")[0][0]))

        # Another day chosen: today keeps a mark in the highlight colour.
        other = now.tm_mday + 1 if now.tm_mday + 1 in days else now.tm_mday - 1
        desk.click(days[other])
        wait_for("another day's empty list", lambda: desk.table_rows(events) == [])
        self.assertTrue(highlight in set(desktop.pixels(desk.grab(days[now.tm_mday]))), "today is not marked")

        desk.key("Home")
        wait_for("back on today", lambda: desk.table_rows(events) == [["All Day", "Lunch today"]], 5)
