"""Typing into the editors: pick lists, times, multi-line fields and names, as a person types them."""

from desktop import DesktopTest, wait_for


class Typing(DesktopTest):
    def open_editor(self, button, title):
        desk = self.desk
        desk.click(desk.find("push button", button))
        return desk.wait_window(title)

    def save(self, editor):
        desk = self.desk
        title = editor.name
        desk.click(desk.find("push button", "Save", within=editor))
        desk.wait_no_window(title)

    def retype(self, field, text):
        """Clicks into a field, selects all it shows and types over it."""
        desk = self.desk
        desk.click(field)
        desk.key("ctrl+a")
        desk.type(text)

    @staticmethod
    def shown_time(field):
        """The text a time field shows, which is its own text."""
        text = field.queryText()
        return text.getText(0, text.characterCount)

    def test_pick_lists_never_keep_text_that_names_no_item(self):
        desk = self.desk
        editor = self.open_editor("Add New Task", "Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Ask the neighbours")
        priority, category = desk.find_all("combo box", within=editor)[:2]
        desk.open_list(priority)
        desk.click(desk.find("list item", "Low", within=priority))
        wait_for("Low chosen", lambda: desk.text_of(priority) == "Low")

        # No priority is called "Urgent": leaving the box shows the one that counts.
        self.retype(priority, "Urgent")
        desk.key("Tab")
        wait_for("the box shows Low again", lambda: desk.text_of(priority) == "Low")

        # A category that does not exist is offered to be added, not swapped for another.
        self.retype(category, "Neighbours")
        desk.key("Tab")
        desk.wait_message("Add category 'Neighbours'?")
        desk.key("Return")  # Yes
        desk.wait_no_window("Organizer Alert!")
        wait_for("the new category chosen", lambda: desk.text_of(category) == "Neighbours")
        self.assertEqual(desk.sql("SELECT type_id FROM category WHERE name = 'Neighbours'"), [["0"]])

        # Said No to, the name is not added and the box keeps its choice.
        self.retype(category, "Zebras")
        desk.key("Tab")
        question = desk.wait_message("Add category 'Zebras'?")
        desk.click(desk.find("push button", "No", within=question))
        desk.wait_no_window("Organizer Alert!")
        wait_for("Neighbours still chosen", lambda: desk.text_of(category) == "Neighbours")
        self.save(editor)
        self.assertEqual(desk.sql("SELECT task.priority_id, category.name FROM task JOIN category "
                                  "ON category.id = task.category_id WHERE task.name = 'Ask the neighbours'"),
                         [["3", "Neighbours"]])
        self.assertEqual(desk.sql("SELECT count(*) FROM category WHERE name = 'Zebras'"), [["0"]])

    def test_a_time_typed_in_the_usual_forms(self):
        desk = self.desk
        editor = self.open_editor("Add New Task", "Add New Task")
        desk.click(desk.find("text", "Task name", within=editor))
        desk.type("Collect the parcel")
        desk.click(desk.find("check box", "Completion Date", within=editor))
        desk.click(desk.find("check box", "Completion Time", within=editor))
        clock = desk.find("spin button", "Completion time value", within=editor)
        x, y, w, h = desk.extents(clock)
        for typed, shown in [("5", "5:00 AM"), ("17:30", "5:30 PM"), ("9.15am", "9:15 AM"), ("5.30pm", "5:30 PM"),
                             ("12:05 AM", "12:05 AM"), ("5:30 PM", "5:30 PM")]:
            desk.click_at(x + 6, y + h // 2)  # into the hour
            if len(typed) > 1:
                desk.key("ctrl+a")
            desk.type(typed)
            wait_for(f"{typed!r} shown as {shown!r}", lambda: self.shown_time(clock) == shown, 5)
        self.save(editor)
        self.assertEqual(desk.sql("SELECT deadline_time, round(due_time * 1440) FROM task"), [["1", "1050.0"]])

    def test_tab_leaves_a_multi_line_field_and_ctrl_tab_types_a_tab(self):
        desk = self.desk
        desk.key("alt+4")
        wait_for("the notes page", lambda: desk.find("tree", "Notes"))
        editor = self.open_editor("Add New Note", "Add New Note")
        desk.click(desk.find("text", "Subject", within=editor))
        desk.type("Shopping")
        text = desk.find("text", "Note text", within=editor)
        desk.click(text)
        desk.type("milk")
        desk.key("Tab")
        wait_for("the focus gone on", lambda: not desk.has_focus(text), 5)
        self.assertEqual(desk.text_of(text), "milk")
        desk.key("shift+Tab")
        wait_for("the focus back in the text", lambda: desk.has_focus(text), 5)
        desk.key("ctrl+End", "ctrl+Tab")
        desk.type("2 litres")
        wait_for("a tab typed", lambda: desk.text_of(text) == "milk\t2 litres", 5)
        self.save(editor)
        self.assertEqual(desk.sql("SELECT content FROM note"), [["milk\t2 litres"]])

    def test_a_contact_with_one_name_part_is_listed_without_a_comma(self):
        desk = self.desk
        desk.key("alt+2")
        wait_for("the contacts page", lambda: desk.find("tree", "Contacts"))
        editor = self.open_editor("Add New Contact", "Add Contact")
        desk.click(desk.find("text", "First name", within=editor))
        desk.type("Bob")
        self.save(editor)
        editor = self.open_editor("Add New Contact", "Add Contact")
        desk.click(desk.find("text", "Last name", within=editor))
        desk.type("Smith")
        self.save(editor)
        names = lambda: sorted(row[0] for row in desk.table_rows(desk.find("tree", "Contacts")))
        wait_for("both listed", lambda: len(names()) == 2)
        self.assertEqual(names(), ["Bob", "Smith"])

    def test_return_adds_in_the_category_manager_and_delete_deletes(self):
        desk = self.desk
        editor = self.open_editor("Add New Task", "Add New Task")
        desk.click(desk.find("push button", "Categories...", within=editor))
        manager = desk.wait_window("Manage Task Categories")
        desk.click(desk.find("text", "Category Name", within=manager))
        desk.type("Garden")
        desk.key("Return")
        wait_for("Garden added", lambda: desk.sql("SELECT type_id FROM category WHERE name = 'Garden'") == [["0"]])
        self.assertIsNotNone(desk.window("Manage Task Categories"), "Return closed the manager")
        desk.click(desk.find("text", "Comment", within=manager))
        desk.type("roses")
        desk.click(desk.find("text", "Category Name", within=manager))
        desk.type("Shed")
        desk.click(desk.find("text", "Comment", within=manager))
        desk.key("Return")
        wait_for("Shed added from the comment field",
                 lambda: desk.sql("SELECT comment FROM category WHERE name = 'Shed'") == [["roses"]])

        desk.click(wait_for("Garden listed", lambda: desk.find("table cell", "Garden", within=manager, timeout=1)))
        desk.key("Delete")
        desk.wait_message("Are you sure you want to delete this Category?")
        desk.key("Return")  # Yes
        wait_for("Garden deleted", lambda: desk.sql("SELECT count(*) FROM category WHERE name = 'Garden'") == [["0"]])
        self.assertIsNotNone(desk.window("Manage Task Categories"))
