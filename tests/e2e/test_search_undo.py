"""Finding a record from anywhere, and taking back a delete."""

from desktop import DARK, DesktopTest, save_screen, wait_for

QUESTION = "Are you sure you want to delete this Task?"
# Every column of the task, so that what comes back is compared whole.
TASK_ROW = "SELECT * FROM task WHERE id = {}"


class Search(DesktopTest):
    SHOT = ""

    def prepare(self, desk):
        desk.sql("INSERT INTO contact (cat_id, fname, lname, phone) VALUES "
                 "(5, 'Anna', 'Lindqvist', '555 0101'), (4, 'Seán', 'Ó Murchú', '555 0199'), "
                 "(6, 'Bob', 'Andrews', '')")
        desk.sql("INSERT INTO task (category_id, priority_id, name, description) VALUES "
                 "(1, 2, 'Call Murchison', 'about the boat')")

    def results(self, window):
        listing = self.desk.find("list", "Results", within=window)
        return [listing.getChildAtIndex(i).name for i in range(listing.childCount)]

    def test_ctrl_f_finds_an_accented_name_typed_without_accents_and_enter_opens_it(self):
        desk = self.desk
        desk.key("ctrl+f")
        search = desk.wait_window("Search")
        field = desk.find("text", "Search", within=search)
        wait_for("the field focused", lambda: desk.has_focus(field))
        desk.type("murch")
        # Both kinds are found, the task first, each with the part that matched.
        wait_for("two results", lambda: len(self.results(search)) == 2)
        found = self.results(search)
        self.assertTrue(found[0].startswith("Task: Call Murchison"), found)
        self.assertTrue(found[1].startswith("Contact: Seán Ó Murchú"), found)
        desk.type(" sea")
        wait_for("the contact alone", lambda: len(self.results(search)) == 1)
        self.assertTrue(self.results(search)[0].startswith("Contact: Seán Ó Murchú"))
        desk.type("x")
        wait_for("nothing found", lambda: self.results(search) == ["No matches"])
        desk.key("BackSpace")
        wait_for("the contact again", lambda: len(self.results(search)) == 1 and
                 self.results(search)[0].startswith("Contact:"))
        desk.key("Return")
        desk.wait_no_window("Search")
        editor = desk.wait_window("Edit Contact")
        self.assertEqual(desk.text_of(desk.find("text", "Last name", within=editor)), "Ó Murchú")
        # Behind it, the contacts page is shown with the contact's row selected.
        contacts = desk.find("tree", "Contacts")
        rows = desk.table_rows(contacts)
        selected = contacts.queryTable().getSelectedRows()
        self.assertEqual([rows[r][0] for r in selected], ["Ó Murchú, Seán"])
        desk.key("Escape")
        desk.wait_no_window("Edit Contact")

    def test_the_magnifier_opens_it_and_escape_closes_it(self):
        desk = self.desk
        button = desk.find("push button", "Search")
        self.assertEqual(button.description, "Ctrl+F")
        desk.click(button)
        search = desk.wait_window("Search")
        desk.type("lindq")
        wait_for("Anna found", lambda: self.results(search)[:1] and
                 self.results(search)[0].startswith("Contact: Anna Lindqvist"))
        save_screen(desk, "search" + self.SHOT)
        desk.key("Escape")
        desk.wait_no_window("Search")
        self.assertIsNotNone(desk.window("Orvale Organizer"))


class UndoDelete(DesktopTest):
    SHOT = ""

    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, "
                 "due_date, due_time, warning, completed) VALUES "
                 "(2, 1, 'Alpha', '', 0, 0, 0, 0, 0, 0), "
                 "(3, 3, 'Renew O#$%g^Brien lease', 'two\nlines', 1, 1, 46000, 0.6041666666666666, 30, 1)")

    def delete_renewal(self):
        desk = self.desk
        self.id = desk.sql("SELECT id FROM task WHERE name LIKE 'Renew%'")[0][0]
        self.stored = desk.sql(TASK_ROW.format(self.id))
        desk.click(desk.find("table cell", "Renew O'Brien lease"))
        desk.key("Delete")
        desk.wait_message(QUESTION)
        desk.click(desk.find("push button", "Yes", within=desk.window("Organizer Alert!")))
        desk.wait_no_window("Organizer Alert!")
        wait_for("the task deleted", lambda: desk.sql(TASK_ROW.format(self.id)) == [])

    def expect_back(self):
        desk = self.desk
        wait_for("the task back", lambda: desk.sql(TASK_ROW.format(self.id)) == self.stored)
        wait_for("its row back", lambda: ["Renew O'Brien lease", "Low", "Personal"] in
                 [row[:3] for row in desk.table_rows(desk.find("tree", "Tasks"))])

    def test_delete_and_yes_then_ctrl_z_brings_the_task_back_with_its_id(self):
        desk = self.desk
        self.delete_renewal()
        desk.key("ctrl+z")
        self.expect_back()
        desk.key("ctrl+shift+z")
        wait_for("deleted again", lambda: desk.sql(TASK_ROW.format(self.id)) == [])
        desk.key("ctrl+y")  # nothing more to redo
        desk.key("ctrl+z")
        self.expect_back()

    def test_the_notice_names_the_task_and_its_undo_brings_it_back(self):
        desk = self.desk
        self.delete_renewal()
        undo = desk.find("push button", "Undo")
        notice = undo.parent
        self.assertEqual(notice.name, "Deleted 'Renew O'Brien lease' \u2014 Undo")
        save_screen(desk, "notice" + self.SHOT)
        desk.click(undo)
        self.expect_back()
        wait_for("the notice gone", lambda: not desk.is_showing(undo))


class SearchInDarkColours(Search):
    SETTINGS = DARK
    SHOT = "-dark"
    test_ctrl_f_finds_an_accented_name_typed_without_accents_and_enter_opens_it = None


class UndoNoticeInDarkColours(UndoDelete):
    SETTINGS = DARK
    SHOT = "-dark"
    test_delete_and_yes_then_ctrl_z_brings_the_task_back_with_its_id = None
