"""Things that repeat, made and used as a person does: a weekly event on two weekdays in the
event editor's Custom repeat, its days in next month's calendar, one occurrence deleted on its
own, and a daily task ticked done that moves on to tomorrow."""

import calendar
import datetime

import pyatspi

from desktop import DesktopTest, day_number, wait_for

WEEKDAYS = ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"]
MARK = "\u21bb"


class Repeats(DesktopTest):
    # No midnight between the day the test reads and the day the program shows.
    LOCAL_TIME = "12:00"
    ENV = {"LC_ALL": "en_GB.UTF-8", "LANG": "en_GB.UTF-8"}

    # ----- small steps a person takes -----

    def window_starting(self, prefix):
        desk = self.desk
        return wait_for(f"a window named {prefix}...", lambda: [w for w in desk.windows()
                                                               if w is not None and w.name.startswith(prefix)
                                                               and desk.is_showing(w)][0])

    def choose(self, combo, item, window):
        desk = self.desk
        desk.open_list(combo)
        desk.click(desk.find("list item", item, within=window))
        wait_for(f"{item!r} chosen", lambda: desk.text_of(combo) == item)

    def calendar(self):
        return wait_for("the calendar", lambda: pyatspi.findDescendant(
            self.desk.main, lambda a: a is not None and a.description.startswith("Days with items") or
            a is not None and a.getRoleName() == "calendar"))

    def bold_days(self):
        """The days the calendar shows in bold, as its description names them."""
        description = pyatspi.findDescendant(self.desk.main, lambda a: a is not None and
                                             a.description.startswith("Days with items: "))
        if description is None:
            return []
        return [int(day) for day in description.description.split(": ", 1)[1].split(", ")]

    def selected_day_cell(self):
        return wait_for("the selected day", lambda: pyatspi.findDescendant(
            self.desk.main, lambda a: a is not None and a.getRoleName() == "table cell" and
            a.getState().contains(pyatspi.STATE_SELECTED) and a.name.isdigit()))

    def events(self):
        return [row[1] for row in self.desk.table_rows(self.desk.find("tree", "Events"))]

    def move_calendar(self, days):
        self.desk.key(*(["Right"] * days if days > 0 else ["Left"] * -days))

    # ----- the test -----

    def test_weekly_event_on_two_weekdays_and_a_daily_task(self):
        desk = self.desk
        today = datetime.date.today()
        first, second = today.weekday(), (today.weekday() + 2) % 7

        # A weekly event on today's weekday and the one two days on.
        desk.key("alt+3")
        desk.find("tree", "Events")
        desk.click(desk.find("push button", "Add New Event"))
        editor = self.window_starting("Schedule Event for ")
        desk.click(desk.find("text", "Event name", within=editor))
        desk.type("Standup")
        self.choose(desk.find_all("combo box", within=editor)[1], "Custom...", editor)
        custom = desk.wait_window("Custom Repeat")
        box = desk.find("check box", WEEKDAYS[second], within=custom)
        desk.click(box)
        wait_for("the second weekday ticked", lambda: box.getState().contains(pyatspi.STATE_CHECKED))
        words = f"Every week on {WEEKDAYS[min(first, second)]} and {WEEKDAYS[max(first, second)]}"
        desk.find("label", words, within=custom)
        desk.click(desk.find("push button", "Save", within=custom))
        desk.wait_no_window("Custom Repeat")
        desk.find("label", words, within=editor)  # the editor says the rule in words too
        title = editor.name
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(title)

        codes = ["MO", "TU", "WE", "TH", "FR", "SA", "SU"]
        self.assertEqual(desk.sql("SELECT e.title, r.rrule FROM event e JOIN repeat_rule r "
                                  "ON r.kind = 2 AND r.record_id = e.id"),
                         [["Standup", f"FREQ=WEEKLY;BYDAY={codes[min(first, second)]},{codes[max(first, second)]}"]])
        wait_for("today's occurrence", lambda: self.events() == [f"Standup {MARK}"])

        # Next month: the days of the two weekdays are bold, and each of them holds the event.
        desk.click(self.selected_day_cell())
        desk.key("Next")
        year, month = (today.year + 1, 1) if today.month == 12 else (today.year, today.month + 1)
        days_in_month = calendar.monthrange(year, month)[1]
        expected = [d for d in range(1, days_in_month + 1)
                    if datetime.date(year, month, d).weekday() in (first, second)]
        wait_for("next month's bold days", lambda: self.bold_days() == expected)
        shown = min(today.day, days_in_month)  # Page Down keeps the day, or the month's last
        target = next(d for d in range(8, 15) if datetime.date(year, month, d).weekday() == second)
        self.move_calendar(target - shown)
        wait_for("the occurrence on its day", lambda: self.events() == [f"Standup {MARK}"])
        self.move_calendar(1)
        wait_for("nothing the day after", lambda: self.events() == [])
        self.move_calendar(-1)
        wait_for("the occurrence again", lambda: self.events() == [f"Standup {MARK}"])

        # That one occurrence deleted on its own: the others stay.
        desk.click(desk.find("push button", "Delete Event"))
        question = desk.wait_window("Organizer Alert!")
        desk.find("label", "Change only this occurrence, or all of them?", within=question)
        desk.click(desk.find("push button", "This One", within=question))
        desk.wait_no_window("Organizer Alert!")
        wait_for("the occurrence gone", lambda: self.events() == [])
        self.assertEqual(desk.sql("SELECT excluded FROM repeat_rule"), [[str(day_number(datetime.date(year, month, target)))]])
        wait_for("its day no longer bold", lambda: self.bold_days() == [d for d in expected if d != target])
        desk.click(self.selected_day_cell())
        desk.key("Down")  # a week later
        wait_for("the next week's occurrence", lambda: self.events() == [f"Standup {MARK}"])
        self.assertEqual(desk.sql("SELECT count(*) FROM event"), [["1"]])

        # A daily task, ticked done, moves on to tomorrow and stays to do.
        desk.key("alt+1")
        tasks = desk.find("tree", "Tasks")
        desk.click(desk.find("push button", "Add New Task"))
        editor = desk.wait_window("Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Water plants")
        desk.click(desk.find("check box", "Completion Date", within=editor))
        self.choose(desk.find_all("combo box", within=editor)[3], "Daily", editor)
        desk.find("label", "Every day", within=editor)
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window("Add New Task")
        today_number = day_number(today)
        self.assertEqual(desk.sql("SELECT t.due_date, t.completed, r.rrule FROM task t JOIN repeat_rule r "
                                  "ON r.kind = 0 AND r.record_id = t.id WHERE t.name = 'Water plants'"),
                         [[str(today_number), "0", "FREQ=DAILY"]])
        cell = wait_for("the task's row", lambda: next(
            (tasks.queryTable().getAccessibleAt(r, 0) for r in range(tasks.queryTable().nRows)
             if tasks.queryTable().getAccessibleAt(r, 0).name == "Water plants"), None))
        x, y, w, h = desk.extents(cell)
        desk.click_at(x + 10, y + h // 2)
        wait_for("the task moved on to tomorrow", lambda: desk.sql(
            "SELECT due_date, completed FROM task WHERE name = 'Water plants'") == [[str(today_number + 1), "0"]])
        tomorrow = (today + datetime.timedelta(days=1)).strftime("%d/%m/%Y")
        wait_for("the list showing tomorrow", lambda: [row for row in desk.table_rows(tasks)
                                                       if row[0] == "Water plants"][0][3].startswith(tomorrow))
