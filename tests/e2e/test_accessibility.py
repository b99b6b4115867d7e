"""What a screen reader finds in the main window."""

from desktop import DesktopTest, wait_for


class ScreenReader(DesktopTest):
    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (2, 1, 'Alpha')")
        desk.sql("INSERT INTO contact (cat_id, fname, lname, disp_info) VALUES (4, 'Anna', 'Lindqvist', 'Sister')")

    def test_every_control_has_a_name_and_the_lists_their_rows(self):
        desk = self.desk
        buttons = [b.name for b in desk.find_all("push button") if desk.is_showing(b) and
                   b.getRoleName() == "push button" and b.parent.getRoleName() != "page tab list"]
        for name in ["Add New Task", "Delete Task", "Edit Task", "Settings", "Search", "Help", "Minimize", "Close"]:
            self.assertIn(name, buttons)
        self.assertNotIn("", buttons, "a button without a name")
        self.assertEqual([t.name for t in desk.find_all("page tab")],
                         ["My Tasks", "My Contacts", "My Dates & Events", "My Notes"])
        tasks = desk.find("tree", "Tasks")
        self.assertEqual(desk.table_rows(tasks), [["Alpha", "High", "Work", ""]])
        columns = [tasks.queryTable().getColumnDescription(c) for c in range(tasks.queryTable().nColumns)]
        self.assertEqual(columns, ["Task", "Priority", "Category", "Deadline"])
        # The names follow the page, as the tooltips do.
        desk.click(desk.find("page tab", "My Contacts"))
        wait_for("the contacts' buttons", lambda: desk.find("push button", "Add New Contact", timeout=1))
        self.assertEqual(desk.table_rows(desk.find("tree", "Contacts")), [["Lindqvist, Anna", "Family", "Sister"]])
