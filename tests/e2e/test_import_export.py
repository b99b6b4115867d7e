"""Importing and exporting calendar and contact files the way a person does."""

import os
import subprocess

import pyatspi

from desktop import DesktopTest, wait_for

CALENDAR = (
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//e2e//EN\r\n"
    "BEGIN:VTODO\r\nUID:e2e-task\r\nDTSTAMP:20250101T000000Z\r\nSUMMARY:Water the plants\r\nPRIORITY:1\r\n"
    "X-OTHER-APP:kept\r\nEND:VTODO\r\n"
    "BEGIN:VEVENT\r\nUID:e2e-event\r\nDTSTAMP:20250101T000000Z\r\nDTSTART;VALUE=DATE:20250704\r\n"
    "DTEND;VALUE=DATE:20250705\r\nSUMMARY:Picnic\r\nEND:VEVENT\r\n"
    "BEGIN:VFREEBUSY\r\nUID:e2e-busy\r\nEND:VFREEBUSY\r\n"
    "END:VCALENDAR\r\n")

CARDS = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\nTEL;TYPE=cell:555 0101\r\nEND:VCARD\r\n"


class ImportExport(DesktopTest):
    def prepare(self, desk):
        self.calendar = os.path.join(desk.home, "plants.ics")
        with open(self.calendar, "w", newline="") as f:
            f.write(CALENDAR)

    def summary(self, window):
        """The preview's text: the label that counts the tasks."""
        label = wait_for("the preview's counts", lambda: pyatspi.findDescendant(
            window, lambda a: a is not None and a.getRoleName() == "label" and a.name.startswith("Tasks:")))
        return label.name

    def choose_file(self, title, path):
        desk = self.desk
        dialog = desk.wait_window(title)
        wait_for("the file name field to have the focus", lambda: desk.has_focus(
            pyatspi.findDescendant(dialog, lambda a: a is not None and a.getRoleName() == "text"
                                   and desk.has_focus(a)) or dialog))
        desk.type(path)
        desk.key("Return")
        desk.wait_no_window(title)

    def import_with_keys(self, path):
        desk = self.desk
        desk.key("ctrl+i")
        self.choose_file("Import", path)
        return desk.wait_window("Import " + os.path.basename(path))

    def test_import_preview_counts_then_again_adds_nothing(self):
        desk = self.desk
        preview = self.import_with_keys(self.calendar)
        text = self.summary(preview)
        self.assertIn("Tasks: 1 added, 0 updated, 0 unchanged, 0 skipped", text)
        self.assertIn("Dates and events: 1 added, 0 updated, 0 unchanged, 0 skipped", text)
        self.assertIn("VFREEBUSY is not a task, event or note", text)
        desk.screenshot(os.path.join(os.environ.get("E2E_SHOTS", desk.home), "import-preview.png"))
        desk.key("Return")
        desk.wait_no_window("Import plants.ics")

        self.assertEqual(desk.sql("SELECT name, priority_id FROM task"), [["Water the plants", "1"]])
        self.assertEqual(desk.sql("SELECT title FROM event"), [["Picnic"]])
        tasks = desk.table_rows(desk.find("tree", "Tasks"))
        self.assertTrue(any("Water the plants" in cell for row in tasks for cell in row), tasks)

        # The same file again: everything unchanged, nothing added.
        preview = self.import_with_keys(self.calendar)
        self.assertIn("Tasks: 0 added, 0 updated, 1 unchanged, 0 skipped", self.summary(preview))
        desk.key("Return")
        desk.wait_no_window("Import plants.ics")
        self.assertEqual(desk.sql("SELECT count(*) FROM task"), [["1"]])
        self.assertEqual(desk.sql("SELECT count(*) FROM event"), [["1"]])

    def test_cancel_in_the_preview_stores_nothing(self):
        desk = self.desk
        self.import_with_keys(self.calendar)
        desk.key("Escape")
        desk.wait_no_window("Import plants.ics")
        self.assertEqual(desk.sql("SELECT count(*) FROM task"), [["0"]])

    def test_export_writes_what_python_icalendar_reads_back(self):
        desk = self.desk
        self.assertEqual(desk.run_program(["--import", self.calendar])[0], 0)
        out = os.path.join(desk.home, "everything.ics")
        desk.key("ctrl+e")
        self.choose_file("Export", out)
        wait_for("the exported file", lambda: os.path.exists(out))
        check = subprocess.run(
            ["/usr/bin/python3", "-c",
             "import sys, icalendar\n"
             "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
             "for c in cal.walk('VTODO'):\n"
             "    print(c['UID'], c['SUMMARY'], c['PRIORITY'], c['X-OTHER-APP'])\n", out],
            capture_output=True, text=True, check=True)
        self.assertEqual(check.stdout, "e2e-task Water the plants 1 kept\n")

    def test_a_command_line_import_while_the_program_runs(self):
        desk = self.desk
        cards = os.path.join(desk.home, "people.vcf")
        with open(cards, "w", newline="") as f:
            f.write(CARDS)
        code, output = desk.run_program(["--import", cards], env={k: v for k, v in desk.program_env().items()
                                                                  if k != "DISPLAY"})
        self.assertEqual(code, 0, output)
        self.assertEqual(output, f"{cards}: added 1, updated 0, unchanged 0, skipped 0\n")
        self.assertEqual(desk.sql("SELECT lname, fname, phone FROM contact WHERE lname = 'Lee'"),
                         [["Lee", "Ann", "555 0101 (cell)"]])
