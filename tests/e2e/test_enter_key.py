"""Return, Enter and Space press the push button that has the keyboard focus, in every window."""

import desktop
from desktop import DesktopTest, wait_for

QUESTION = "Are you sure you want to delete this Task?"


class EnterPressesTheFocusedButton(DesktopTest):
    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (1, 1, 'Alpha'), (1, 2, 'Beta')")

    # ----- small steps a person takes -----

    def focus_with(self, key, control, limit=16):
        """Presses a key (Tab or shift+Tab) until the control has the keyboard focus."""
        desk = self.desk
        for _ in range(limit):
            if desk.has_focus(control):
                return
            desk.key(key)
            try:
                wait_for("the focus to move", lambda: desk.has_focus(control), 0.5)
            except desktop.Timeout:
                pass
        self.assertTrue(desk.has_focus(control), f"{key} never reached {control.name!r}")

    def open_window_with_keys(self, button_name, window_name):
        """Tabs from the tasks list to a button of the main window and presses Return there."""
        desk = self.desk
        desk.click(desk.find("table cell", "Alpha"))
        self.focus_with("Tab", desk.find("push button", button_name))
        desk.key("Return")
        return desk.wait_window(window_name)

    def tasks(self):
        return [row[0] for row in self.desk.sql("SELECT name FROM task ORDER BY id")]

    # ----- the tests -----

    def test_no_with_the_focus_keeps_the_task(self):
        desk = self.desk
        desk.click(desk.find("table cell", "Alpha"))
        for key in ["Return", "KP_Enter", "space"]:
            desk.key("Delete")
            question = desk.wait_message(QUESTION)
            self.focus_with("Tab", desk.find("push button", "No", within=question))
            desk.key(key)
            desk.wait_no_window("Organizer Alert!")
            self.assertEqual(self.tasks(), ["Alpha", "Beta"], f"No and {key} deleted the task")
        # Yes with the focus still deletes.
        desk.key("Delete")
        question = desk.wait_message(QUESTION)
        self.focus_with("Tab", desk.find("push button", "Yes", within=question))
        desk.key("Return")
        desk.wait_no_window("Organizer Alert!")
        wait_for("Alpha deleted", lambda: self.tasks() == ["Beta"])

    def test_add_with_the_focus_opens_the_editor_and_cancel_saves_nothing(self):
        desk = self.desk
        editor = self.open_window_with_keys("Add New Task", "Add New Task")
        desk.type("Never saved")
        save = desk.find("push button", "Save", within=editor)
        cancel = desk.find("push button", "Cancel", within=editor)
        # Save is marked as the default until another button takes the focus.
        border = desktop.colour_bytes(int(desk.sql("SELECT clr_border FROM settings")[0][0]))
        wait_for("Save marked as the default", lambda: border in set(desktop.pixels(desk.grab(save))), 3)
        self.focus_with("shift+Tab", cancel)
        wait_for("the mark gone from Save", lambda: border not in set(desktop.pixels(desk.grab(save))), 3)
        desk.key("Return")
        desk.wait_no_window("Add New Task")
        self.assertEqual(self.tasks(), ["Alpha", "Beta"])
        self.assertTrue(desk.running())

    def test_categories_button_and_the_managers_add_button(self):
        desk = self.desk
        editor = self.open_window_with_keys("Add New Task", "Add New Task")
        self.focus_with("Tab", desk.find("push button", "Categories...", within=editor))
        desk.key("Return")
        manager = desk.wait_window("Manage Task Categories")
        desk.click(desk.find("text", "Category Name", within=manager))
        desk.type("Garden")
        self.focus_with("shift+Tab", desk.find("push button", "Add New Category", within=manager))
        desk.key("Return")
        wait_for("Garden stored", lambda: desk.sql("SELECT type_id FROM category WHERE name = 'Garden'") == [["0"]])
        self.assertIsNotNone(desk.window("Manage Task Categories"), "Return closed the manager")
        desk.key("Escape")
        desk.wait_no_window("Manage Task Categories")
        desk.key("Escape")
        desk.wait_no_window("Add New Task")
        self.assertEqual(self.tasks(), ["Alpha", "Beta"])

    def test_cancel_with_the_focus_in_the_other_editors(self):
        desk = self.desk
        for page, add, table in [("alt+2", "Add New Contact", "contact"), ("alt+3", "Add New Event", "event"),
                                 ("alt+4", "Add New Note", "note")]:
            desk.key(page)
            desk.click(desk.find("push button", add))
            editor = wait_for("the editor", lambda: [w for w in desk.windows() if w is not None and
                                                     desk.is_showing(w) and w.name != "Orvale Organizer"])[0]
            title = editor.name
            desk.click(desk.find("text", within=editor))  # the first field: the name or subject
            desk.type("Kept away")
            self.focus_with("shift+Tab", desk.find("push button", "Cancel", within=editor))
            desk.key("Return")
            desk.wait_no_window(title)
            self.assertEqual(desk.sql(f"SELECT count(*) FROM {table}"), [["0"]], f"{title}: Cancel saved")

    def test_select_color_with_the_focus_opens_the_colour_chooser(self):
        desk = self.desk
        desk.click(desk.find("push button", "Settings"))
        settings = desk.wait_window("Orvale Organizer Settings")
        self.focus_with("Tab", desk.find("push button", "Select background color", within=settings))
        desk.key("Return")
        desk.wait_window("Select Color")
        self.assertIsNotNone(desk.window("Orvale Organizer Settings"), "Return saved and closed the settings")
        desk.key("Escape")
        desk.wait_no_window("Select Color")
        desk.key("Escape")
        desk.wait_no_window("Orvale Organizer Settings")
