"""The other ways into an import: the lists' right-click menu, a file handed
to the program (a file manager's "Open with"), files dropped on the window,
and Cancel while a big file is being stored."""

import os
import subprocess
import time

import pyatspi

from desktop import DesktopTest, wait_for

HERE = os.path.dirname(os.path.abspath(__file__))

CALENDAR = (
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//e2e//EN\r\n"
    "BEGIN:VTODO\r\nUID:ways-task\r\nDTSTAMP:20250101T000000Z\r\nSUMMARY:Water the plants\r\nEND:VTODO\r\n"
    "BEGIN:VEVENT\r\nUID:ways-event\r\nDTSTAMP:20250101T000000Z\r\nDTSTART;VALUE=DATE:20250704\r\n"
    "DTEND;VALUE=DATE:20250705\r\nSUMMARY:Picnic\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n")

CARDS = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\nEND:VCARD\r\n"

REFUSED = "notes.txt was not imported: only calendar and contact files (.ics, .vcs, .vcf) can be."


def write(path, text):
    with open(path, "w", newline="") as f:
        f.write(text)
    return path


class ExchangeWays(DesktopTest):
    def prepare(self, desk):
        self.calendar = write(os.path.join(desk.home, "plants.ics"), CALENDAR)
        self.cards = write(os.path.join(desk.home, "Ann's people.vcf"), CARDS)
        self.text = write(os.path.join(desk.home, "notes.txt"), "not a calendar\n")

    def summary(self, preview):
        return wait_for("the preview's counts", lambda: pyatspi.findDescendant(
            preview, lambda a: a is not None and a.getRoleName() == "label" and ": " in a.name and
            "added" in a.name)).name

    def answer_message(self, text):
        message = self.desk.wait_message(text)
        self.desk.click(self.desk.find("push button", "OK", within=message))
        self.desk.wait_no_window("Organizer Alert!")

    def open_list_menu(self, tasks):
        """A right click on the list; its menu is a pop-up, which Qt leaves out of the
        accessibility tree, so it is seen as a new window of the program on the screen."""
        desk = self.desk
        windows = lambda: set(subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--classname", "org.tavrin.OrvaleOrganizer"], env=desk._env(),
            capture_output=True, text=True).stdout.split())
        before = windows()
        desk.click(tasks, button=3)
        wait_for("the list's menu", lambda: windows() - before)

    def test_the_list_menu_imports_through_the_preview(self):
        desk = self.desk
        tasks = desk.find("tree", "Tasks")
        self.open_list_menu(tasks)
        desk.key("Down", "Return")  # its first item, Import...
        dialog = desk.wait_window("Import")
        wait_for("the file name field to have the focus", lambda: pyatspi.findDescendant(
            dialog, lambda a: a is not None and a.getRoleName() == "text" and desk.has_focus(a)))
        desk.type(self.calendar)
        desk.key("Return")
        preview = desk.wait_window("Import plants.ics")
        self.assertIn("Tasks: 1 added, 0 updated, 0 unchanged, 0 skipped", self.summary(preview))
        desk.click(desk.find("push button", "Import", within=preview))
        desk.wait_no_window("Import plants.ics")
        self.assertEqual(desk.sql("SELECT name FROM task"), [["Water the plants"]])
        wait_for("the new task in the list", lambda: any(
            "Water the plants" in cell for row in desk.table_rows(tasks) for cell in row))

        # Its second item, Export..., on the dates page: that page's events.
        desk.key("alt+3")
        self.open_list_menu(desk.find("tree", "Events"))
        desk.key("Down", "Down", "Return")
        dialog = desk.wait_window("Export")
        out = os.path.join(desk.home, "dates.ics")
        wait_for("the file name field to have the focus", lambda: pyatspi.findDescendant(
            dialog, lambda a: a is not None and a.getRoleName() == "text" and desk.has_focus(a)))
        desk.type(out)
        desk.key("Return")
        wait_for("the exported file", lambda: os.path.exists(out))
        with open(out, newline="") as f:
            written = f.read()
        self.assertIn("SUMMARY:Picnic", written)
        self.assertNotIn("VTODO", written)

    def test_files_given_to_a_second_start_open_in_the_running_copy(self):
        desk = self.desk
        code, output = desk.run_program([self.cards])
        self.assertEqual(code, 0, output)
        preview = desk.wait_window("Import Ann's people.vcf")
        self.assertIn("Contacts: 1 added", self.summary(preview))
        desk.key("Return")
        desk.wait_no_window("Import Ann's people.vcf")
        self.assertEqual(desk.sql("SELECT lname, fname FROM contact WHERE lname = 'Lee'"), [["Lee", "Ann"]])

        # A file of another kind is refused with a message, and nothing is read.
        self.assertEqual(desk.run_program([self.text])[0], 0)
        self.answer_message(REFUSED)

        # A script's import without a display: the running copy lists the new records at once.
        env = {k: v for k, v in desk.program_env().items() if k != "DISPLAY"}
        code, output = desk.run_program(["--import", self.calendar], env=env)
        self.assertEqual(code, 0, output)
        tasks = desk.find("tree", "Tasks")
        wait_for("the imported task in the running copy's list", lambda: any(
            "Water the plants" in cell for row in desk.table_rows(tasks) for cell in row))

    def test_dropped_files_open_the_preview_and_other_files_are_refused(self):
        desk = self.desk
        source = desk._spawn(["/usr/bin/python3", os.path.join(HERE, "drag_source.py"), self.text, self.calendar],
                             env=desk._env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_for("the drag source", lambda: desk.x_windows("Drag source"), timeout=20)[0]
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window)], env=desk._env(),
                                  capture_output=True, text=True, check=True).stdout
        values = dict(line.split("=", 1) for line in geometry.split())
        x0 = int(values["X"]) + int(values["WIDTH"]) // 2
        y0 = int(values["Y"]) + int(values["HEIGHT"]) // 2
        x1, y1 = desk.centre(desk.find("tree", "Tasks"))
        desk.xdotool("mousemove", "--sync", x0, y0)
        desk.xdotool("mousedown", 1)
        # A person's drag: a few small steps to start it, then across to the window.
        for step in range(1, 21):
            desk.xdotool("mousemove", x0 + (x1 - x0) * step // 20, y0 + (y1 - y0) * step // 20)
            time.sleep(0.05)
        desk.xdotool("mousemove", x1 + 3, y1 + 3)
        time.sleep(0.3)
        desk.xdotool("mouseup", 1)

        self.answer_message(REFUSED)
        preview = desk.wait_window("Import plants.ics")
        self.assertIn("Dates and events: 1 added", self.summary(preview))
        desk.key("Escape")
        desk.wait_no_window("Import plants.ics")
        self.assertEqual(desk.sql("SELECT count(*) FROM task"), [["0"]])
        self.assertEqual(source.poll(), None, "the drag source is still there")

    def test_cancel_while_a_big_file_is_stored_writes_nothing(self):
        desk = self.desk
        big = os.path.join(desk.home, "big.ics")
        # Large enough that storing is still under way when the progress
        # window has been found, however fast the import has become.
        count = 200000
        with open(big, "w", newline="") as f:
            f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//e2e//EN\r\n")
            for i in range(count):
                f.write(f"BEGIN:VTODO\r\nUID:big-{i}\r\nDTSTAMP:20250101T000000Z\r\nSUMMARY:Task {i}\r\nEND:VTODO\r\n")
            f.write("END:VCALENDAR\r\n")
        self.assertEqual(desk.run_program([big])[0], 0)
        preview = desk.wait_window("Import big.ics", timeout=60)
        self.assertIn(f"Tasks: {count} added", self.summary(preview))
        desk.key("Return")
        progress = desk.wait_window("Importing big.ics...", timeout=20)
        bar = desk.find("progress bar", within=progress)
        self.assertLess(bar.queryValue().currentValue, count)
        shots = os.environ.get("E2E_SHOTS")
        if shots:
            desk.screenshot(os.path.join(shots, "import-progress.png"))
        desk.click(desk.find("push button", "Cancel", within=progress))
        desk.wait_no_window("Importing big.ics...", timeout=20)
        self.assertEqual(desk.sql("SELECT count(*) FROM task"), [["0"]])
        self.assertEqual(desk.sql("SELECT count(*) FROM record_identity"), [["0"]])
        self.assertTrue(desk.running())
