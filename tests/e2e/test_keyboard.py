"""The main window worked from the keyboard alone."""

import desktop
from desktop import DesktopTest, wait_for

# The order Tab walks on the tasks page, starting from the list.
CYCLE = ["list", "Add New Task", "Delete Task", "Edit Task", "Sort by", "Settings", "Search", "Help", "tabs"]


class Keyboard(DesktopTest):
    def prepare(self, desk):
        desk.sql("INSERT INTO task (category_id, priority_id, name) VALUES (1, 1, 'Alpha'), (1, 2, 'Beta')")

    def control(self, name):
        desk = self.desk
        if name == "list":
            return desk.find("tree", "Tasks")
        if name == "tabs":
            return desk.find("page tab list")
        if name == "Sort by":
            return desk.find("combo box")
        return desk.find("push button", name)

    def focus_name(self):
        """Which control of the cycle has the keyboard focus (the tabs report a focused tab always)."""
        focused = [name for name in CYCLE if self.desk.has_focus(self.control(name))]
        return focused[0] if len(focused) == 1 else focused

    def test_tab_walks_every_control_and_back(self):
        desk = self.desk
        desk.click(desk.find("table cell", "Alpha"))
        wait_for("the list focused", lambda: self.focus_name() == "list")
        seen = ["list"]
        for _ in CYCLE:
            desk.key("Tab")
            wait_for("focus to move", lambda: self.focus_name() != seen[-1], 3)
            seen.append(self.focus_name())
        self.assertEqual(seen, CYCLE + ["list"])
        back = ["list"]
        for _ in CYCLE:
            desk.key("shift+Tab")
            wait_for("focus to move back", lambda: self.focus_name() != back[-1], 3)
            back.append(self.focus_name())
        self.assertEqual(back, ["list"] + CYCLE[::-1])

    def test_focus_is_visible(self):
        desk = self.desk
        add = desk.find("push button", "Add New Task")
        desk.click(desk.find("table cell", "Alpha"))
        wait_for("the list focused", lambda: self.focus_name() == "list")
        unfocused = desk.grab(add)
        desk.key("Tab")
        wait_for("Add focused", lambda: desk.has_focus(add))
        focused = desk.grab(add)
        border = desk.sql("SELECT clr_border FROM settings")[0][0]
        self.assertNotEqual(unfocused, focused, "the focused button looks like the others")
        self.assertIn(desktop.colour_bytes(int(border)), set(desktop.pixels(focused)),
                      "the focus mark is not in the user's border colour")

    def test_arrows_move_in_the_list_and_delete_asks_first(self):
        desk = self.desk
        desk.click(desk.find("table cell", "Alpha"))
        wait_for("the list focused", lambda: self.focus_name() == "list")
        desk.key("Down")
        desk.key("Delete")
        question = desk.wait_message("Are you sure you want to delete this Task?")
        desk.key("Return")  # Yes is the default answer
        desk.wait_no_window("Organizer Alert!")
        wait_for("Beta deleted", lambda: desk.sql("SELECT name FROM task") == [["Alpha"]])

        desk.key("Delete")
        question = desk.wait_window("Organizer Alert!")
        desk.key("Escape")  # No
        desk.wait_no_window("Organizer Alert!")
        self.assertEqual(desk.sql("SELECT name FROM task"), [["Alpha"]])

    def test_tab_keys_switch_pages(self):
        desk = self.desk
        lists = ["Tasks", "Contacts", "Events", "Notes"]

        def current():
            # A page is made when first shown: one not shown yet has no list at all.
            shown = {tree.name for tree in desk.find_all("tree") if desk.is_showing(tree)}
            return [i for i, name in enumerate(lists) if name in shown]

        desk.click(desk.find("table cell", "Alpha"))
        for keys, expected in [("ctrl+Tab", 1), ("ctrl+Tab", 2), ("ctrl+shift+Tab", 1), ("alt+4", 3),
                               ("ctrl+Tab", 0), ("alt+3", 2), ("alt+1", 0)]:
            desk.key(keys)
            wait_for(f"tab {expected} after {keys}", lambda: current() == [expected], 3)
        desk.find("tree", "Tasks")  # the tasks page shows again
        # On the dates page the sort selector is gone, as with a click on the tab.
        desk.key("alt+3")
        wait_for("the selector hidden", lambda: not desk.is_showing(
            desk.find("combo box", showing=False)), 3)

    def test_edit_keys_and_enter_escape_never_close(self):
        desk = self.desk
        desk.sql("DELETE FROM task")
        desk.key("alt+2")  # contacts: an empty list
        desk.click(desk.find("tree", "Contacts"))
        for key in ["F2", "Return", "KP_Enter"]:
            desk.key(key)
            desk.wait_message("Please select a Contact to edit!")
            desk.wait_no_window("Organizer Alert!", timeout=10)  # the notice closes itself
        desk.key("Escape")
        self.assertTrue(desk.running())
        self.assertIsNotNone(desk.window("Orvale Organizer"))

    def test_ctrl_q_ends_the_program(self):
        desk = self.desk
        desk.click(desk.find("table cell", "Alpha"))
        desk.key("ctrl+q")
        wait_for("the program to end", lambda: not desk.running(), 10)
        self.assertEqual(desk.organizer.returncode, 0)


class KeyboardWithoutWindowManager(Keyboard):
    """The same keys where nothing but the program itself places and focuses windows."""

    WINDOW_MANAGER = False

    # One case is enough to show that input reaches the window without a manager.
    test_tab_walks_every_control_and_back = None
    test_focus_is_visible = None
    test_tab_keys_switch_pages = None
    test_edit_keys_and_enter_escape_never_close = None
