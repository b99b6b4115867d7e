"""The "Sort by:" selector always names the order the list is in."""

from desktop import DesktopTest, wait_for

# Names in one order, priorities (1 High .. 3 Low) in another.
TASKS = [("Carrots", 3), ("Apples", 2), ("Bread", 1)]
BY_NAME = ["Apples", "Bread", "Carrots"]
BY_PRIORITY = ["Bread", "Apples", "Carrots"]


class SortSelector(DesktopTest):
    def prepare(self, desk):
        rows = ", ".join(f"(1, {priority}, '{name}')" for name, priority in TASKS)
        desk.sql(f"INSERT INTO task (category_id, priority_id, name) VALUES {rows}")

    def names_shown(self):
        return [row[0] for row in self.desk.table_rows(self.desk.find("tree", "Tasks"))]

    def selector_text(self):
        return self.desk.text_of(self.desk.find("combo box"))

    def choose_priority(self):
        desk = self.desk
        desk.open_list(desk.find("combo box"))
        desk.click(desk.find("list item", "Priority"))
        wait_for("the list in priority order", lambda: self.names_shown() == BY_PRIORITY)
        self.assertEqual(self.selector_text(), "Priority")
        wait_for("the order stored", lambda: desk.sql("SELECT task_sort FROM settings") == [["2"]])

    def test_typed_and_left_the_box_follows_the_list(self):
        desk = self.desk
        wait_for("the list in name order", lambda: self.names_shown() == BY_NAME)
        self.choose_priority()
        # Typing completes the key; leaving the box with Tab sorts by it.
        desk.key("ctrl+a")
        desk.type("t")
        wait_for("completion", lambda: self.selector_text() == "Task Name")
        desk.key("Escape", "Tab")
        wait_for("the list in name order", lambda: self.names_shown() == BY_NAME)
        self.assertEqual(self.selector_text(), "Task Name")
        wait_for("the order stored", lambda: desk.sql("SELECT task_sort FROM settings") == [["0"]])

    def test_text_that_matches_nothing_does_not_stay(self):
        desk = self.desk
        self.choose_priority()
        desk.key("ctrl+a")
        desk.type("zz")
        wait_for("the typed text", lambda: self.selector_text() == "zz")
        desk.key("Escape", "Tab")
        # Nothing matched: the first key counts, and the box and the list both say so.
        wait_for("the selector to name the order", lambda: self.selector_text() in ("Task Name", "Priority"))
        expected = BY_NAME if self.selector_text() == "Task Name" else BY_PRIORITY
        wait_for("the list in the named order", lambda: self.names_shown() == expected)

    def test_return_after_typing_sorts(self):
        desk = self.desk
        self.choose_priority()
        desk.key("ctrl+a")
        desk.type("task")
        desk.key("Return")
        wait_for("the list in name order", lambda: self.names_shown() == BY_NAME)
        self.assertEqual(self.selector_text(), "Task Name")
