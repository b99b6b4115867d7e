"""Adding and editing tasks, and their categories, the way a person does."""

import datetime
import time

import pyatspi

from desktop import DesktopTest, day_number, wait_for

EDITOR_NEW = "Add New Task"
EDITOR_EDIT = "Edit Task"
NOTICE = "Organizer Alert!"


class TaskEditing(DesktopTest):
    # "An hour later" stays on the same day.
    LOCAL_TIME = "10:00"

    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (1, 1, 'Alpha'), (1, 2, 'Beta')")

    # ----- small steps a person takes -----

    def open_new_editor(self):
        desk = self.desk
        desk.click(desk.find("push button", "Add New Task"))
        return desk.wait_window(EDITOR_NEW)

    def section_keys(self, field, fraction, *keys):
        """Clicks into a part of a date or time field (0 = its left edge) and presses keys there."""
        desk = self.desk
        x, y, w, h = desk.extents(field)
        desk.click_at(x + int(w * fraction), y + h // 2)
        desk.key(*keys)

    def rows(self):
        return [row[0] for row in self.desk.table_rows(self.desk.find("tree", "Tasks"))]

    # ----- the tests -----

    def test_add_edit_and_refuse_an_empty_name(self):
        desk = self.desk
        # Sorted by priority first, so the new task's place in the list shows the order is kept.
        desk.open_list(desk.find("combo box"))
        desk.click(desk.find("list item", "Priority"))
        wait_for("priority order", lambda: self.rows() == ["Alpha", "Beta"])

        # The time field starts at the current time, taken while the editor opens and its boxes are ticked.
        before = time.time()
        editor = self.open_new_editor()
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Plant O'Brien's \"roses\"")
        combos = desk.find_all("combo box", within=editor)
        priority, category, reminder = combos[0], combos[1], combos[2]
        desk.open_list(priority)
        desk.click(desk.find("list item", "Low", within=priority))
        desk.open_list(category)
        desk.click(desk.find("list item", "Work", within=category))
        desk.click(desk.find("check box", "Completion Date", within=editor))
        desk.click(desk.find("check box", "Completion Time", within=editor))
        date = desk.find("spin button", "Completion date value", within=editor)
        clock = desk.find("spin button", "Completion time value", within=editor)
        wait_for("the date field enabled", lambda: date.getState().contains(pyatspi.STATE_ENABLED))
        # The day: tomorrow, or yesterday on the last day of a month, where the day does not wrap.
        today = datetime.date.today()
        step, day = ("Up", 1) if (today + datetime.timedelta(days=1)).month == today.month else ("Down", -1)
        self.section_keys(date, 0.05, step)
        self.section_keys(clock, 0.05, "Up")    # the hour: one later
        after = time.time()
        desk.open_list(reminder)
        desk.click(desk.find("list item", "15 min", within=reminder))
        wait_for("15 min chosen", lambda: desk.text_of(reminder) == "15 min")
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(EDITOR_NEW)

        # Times are stored to six decimals, so whole minutes come back by rounding.
        rows = desk.sql("SELECT name, priority_id, category_id, deadline, deadline_time, due_date, "
                        "round(due_time * 1440), warning, completed FROM task WHERE id > 2")
        self.assertEqual(len(rows), 1)
        name, priority_id, category_id, deadline, deadline_time, due_date, minutes, warning, completed = rows[0]
        # Quotes are stored in the file's own text encoding, and shown as typed.
        self.assertEqual(name, "Plant O#$%g^Brien#$%g^s *(!G^%^roses*(!G^%^")
        self.assertEqual((priority_id, category_id, deadline, deadline_time, warning, completed),
                         ("3", "2", "1", "1", "15", "0"))
        self.assertEqual(int(due_date), day_number(today) + day)
        started = [time.localtime(t) for t in range(int(before), int(after) + 1)]
        self.assertIn(int(float(minutes)), {((t.tm_hour + 1) % 24) * 60 + t.tm_min for t in started})
        wait_for("the new task last in priority order",
                 lambda: self.rows() == ["Alpha", "Beta", "Plant O'Brien's \"roses\""])

        # A double click opens it; a new name is saved over the old one.
        desk.click(desk.find("table cell", "Plant O'Brien's \"roses\""), repeat=2)
        editor = desk.wait_window(EDITOR_EDIT)
        name_field = desk.find("text", "Task name", within=editor)
        self.assertEqual(desk.text_of(name_field), "Plant O'Brien's \"roses\"")
        desk.click(name_field)
        desk.key("ctrl+a")
        desk.type("Plant the roses")
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(EDITOR_EDIT)
        self.assertEqual(desk.sql("SELECT name, warning FROM task WHERE id > 2"), [["Plant the roses", "15"]])
        wait_for("the list shows the new name", lambda: "Plant the roses" in self.rows())

        # An empty name is refused with a notice, and nothing is written.
        editor = self.open_new_editor()
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_message("Please enter a Task name.")
        desk.wait_no_window(NOTICE)
        self.assertIsNotNone(desk.window(EDITOR_NEW), "the editor stays open")
        desk.click(desk.find("push button", "Cancel", within=editor))
        desk.wait_no_window(EDITOR_NEW)
        self.assertEqual(desk.sql("SELECT count(*) FROM task"), [["3"]])

    def test_a_category_added_from_the_editor_is_offered_at_once(self):
        desk = self.desk
        editor = self.open_new_editor()
        desk.click(desk.find("push button", "Categories...", within=editor))
        manager = desk.wait_window("Manage Task Categories")
        desk.click(desk.find("text", "Category Name", within=manager))
        desk.type("Garden")
        desk.click(desk.find("push button", "Add New Category", within=manager))
        wait_for("Garden listed", lambda: desk.find("table cell", "Garden", within=manager, timeout=1))
        desk.click(desk.find("push button", "Close Window", within=manager))
        desk.wait_no_window("Manage Task Categories")
        self.assertEqual(desk.sql("SELECT type_id FROM category WHERE name = 'Garden'"), [["0"]])
        category = desk.find_all("combo box", within=editor)[1]
        desk.open_list(category)
        desk.click(desk.find("list item", "Garden", within=category))
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Rake leaves")
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(EDITOR_NEW)
        self.assertEqual(desk.sql("SELECT category.name FROM task JOIN category ON category.id = task.category_id "
                                  "WHERE task.name = 'Rake leaves'"), [["Garden"]])
