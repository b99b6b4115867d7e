"""The selected row stays with the record a person acted on, so the next key works on it."""

import pyatspi

from desktop import DesktopTest, wait_for

QUESTION = "Organizer Alert!"
COUNT = 60


def task_name(number):
    return f"Task {number:02d}"


class Selection(DesktopTest):
    # Sorted by name, so that rows and names go together.
    SETTINGS = {"task_sort": 0}

    def prepare(self, desk):
        values = ", ".join(f"(1, 2, '{task_name(n)}')" for n in range(1, COUNT + 1))
        desk.sql(f"INSERT INTO task (category_id, priority_id, name) VALUES {values}")

    def table(self):
        return self.desk.find("tree", "Tasks")

    def selected(self):
        """Names of the selected rows, read through the accessibility tree."""
        cells = self.table().queryTable()
        return [cells.getAccessibleAt(r, 0).name for r in range(cells.nRows)
                if cells.getAccessibleAt(r, 0).getState().contains(pyatspi.STATE_SELECTED)]

    def cell(self, name):
        cells = self.table().queryTable()
        for r in range(cells.nRows):
            if cells.getAccessibleAt(r, 0).name == name:
                return cells.getAccessibleAt(r, 0)
        return None

    def is_in_view(self, name):
        x, y, w, h = self.desk.extents(self.cell(name))
        tx, ty, tw, th = self.desk.extents(self.table())
        return ty < y and y + h <= ty + th

    def rename_selected(self, new_name):
        desk = self.desk
        desk.key("F2")
        editor = desk.wait_window("Edit Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.key("ctrl+a")
        desk.type(new_name)
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window("Edit Task")

    def delete_selected(self):
        desk = self.desk
        desk.key("Delete")
        desk.wait_message("Are you sure you want to delete this Task?")
        desk.key("Return")  # Yes
        desk.wait_no_window(QUESTION)

    def names(self):
        return [row[0] for row in self.desk.sql("SELECT name FROM task ORDER BY name")]

    def test_edit_tick_and_delete_keep_to_the_record_acted_on(self):
        desk = self.desk
        # The second row, edited: it stays selected, and Delete deletes it, not the first.
        desk.click(self.cell(task_name(2)))
        wait_for("row 2 selected", lambda: self.selected() == [task_name(2)])
        self.rename_selected("Task 02 edited")
        wait_for("the edited task still selected", lambda: self.selected() == ["Task 02 edited"])
        self.delete_selected()
        self.assertNotIn("Task 02 edited", self.names())
        self.assertIn(task_name(1), self.names())
        # After a delete its neighbour is selected.
        wait_for("the next row selected", lambda: self.selected() == [task_name(3)])

        # Far down the list: the row stays selected and in view after an edit.
        desk.click(self.cell(task_name(3)))
        for _ in range(44):
            desk.key("Down")
        far = task_name(3 + 44)
        wait_for("a row far down selected", lambda: self.selected() == [far])
        self.assertTrue(self.is_in_view(far))
        self.rename_selected(far + " edited")
        wait_for("the far row still selected", lambda: self.selected() == [far + " edited"])
        self.assertTrue(self.is_in_view(far + " edited"), "the list went back to the top")
        self.delete_selected()
        self.assertNotIn(far + " edited", self.names())
        self.assertEqual(len(self.names()), COUNT - 2)

        # Ticking a task's check box selects its row too.
        desk.key("Home")
        wait_for("the top of the list", lambda: self.is_in_view(task_name(5)))
        target = self.cell(task_name(5))
        x, y, w, h = desk.extents(target)
        desk.click_at(x + 10, y + h // 2)
        wait_for("task 5 done", lambda: desk.sql(f"SELECT completed FROM task WHERE name = '{task_name(5)}'") ==
                 [["1"]])
        wait_for("the ticked row selected", lambda: self.selected() == [task_name(5)])

    def test_a_new_task_is_selected_after_it_is_added(self):
        desk = self.desk
        desk.click(self.cell(task_name(1)))
        desk.click(desk.find("push button", "Add New Task"))
        editor = desk.wait_window("Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Task 30b")
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window("Add New Task")
        wait_for("the new task selected", lambda: self.selected() == ["Task 30b"])
        self.assertTrue(self.is_in_view("Task 30b"))
