"""Adding and editing events, contacts and notes the way a person does."""

import time

from desktop import DesktopTest, wait_for

NOTICE = "Organizer Alert!"


def day_number(year, month, day):
    """A local date as the database's day number (days since 30 December 1899)."""
    return int((time.mktime((year, month, day, 12, 0, 0, 0, 0, -1)) - time.timezone) // 86400) + 25569


class RecordEditing(DesktopTest):
    # The month read here is the one the calendar shows: no midnight between them.
    LOCAL_TIME = "12:00"

    def prepare(self, desk):
        now = time.localtime()
        self.month = (now.tm_year, now.tm_mon)
        # An event on another day of the month, for "View All Events".
        desk.sql(f"INSERT INTO event (event_date, using_time, event_time, title, note, warning) "
                 f"VALUES ({day_number(*self.month, 10)}, 0, 0, 'Dentist', '', 0)")

    # ----- small steps a person takes -----

    def rows(self, list_name):
        return self.desk.table_rows(self.desk.find("tree", list_name))

    def window_starting(self, prefix):
        desk = self.desk
        name = wait_for(f"a window named {prefix}...", lambda: [w.name for w in desk.windows()
                                                               if w is not None and w.name.startswith(prefix)
                                                               and desk.is_showing(w)])[0]
        return desk.wait_window(name)

    def type_into(self, window, role, name, text):
        desk = self.desk
        desk.click(desk.find(role, name, within=window))
        desk.type(text)

    @staticmethod
    def shown_time(field):
        """The text of a time field, which is its own text."""
        text = field.queryText()
        return text.getText(0, text.characterCount)

    def save(self, window):
        desk = self.desk
        title = window.name
        desk.click(desk.find("push button", "Save", within=window))
        desk.wait_no_window(title)

    def expect_notice(self, text):
        desk = self.desk
        desk.wait_message(text)
        desk.wait_no_window(NOTICE)  # it closes itself

    # ----- the tests -----

    def test_an_event_at_one_pm_on_the_day_picked(self):
        desk = self.desk
        desk.key("alt+3")
        wait_for("the events page", lambda: desk.find("tree", "Events"))
        desk.click(desk.find("table cell", "15"))
        wait_for("an empty day", lambda: self.rows("Events") == [])
        desk.click(desk.find("push button", "Add New Event"))
        editor = self.window_starting("Schedule Event for ")
        desk.click(desk.find("check box", "Set Event Time", within=editor))
        # The time field: Tab from the name reaches it with its hour selected;
        # Tab moves on to the minutes, full minutes on to AM/PM; AM first, so that
        # PM is seen to be chosen whatever the time of day.
        self.type_into(editor, "text", "Event name", "Lunch with O'Brien")
        clock = desk.find("spin button", "Event time", within=editor)
        desk.key("Tab", "Tab")
        wait_for("the time field focused", lambda: desk.has_focus(clock))
        for keys, typed, shown in [((), "1", "1:"), (("Tab",), "00", "1:00 "), ((), "AM", "1:00 AM"),
                                   (("shift+Tab", "Tab"), "PM", "1:00 PM")]:
            desk.key(*keys)
            desk.type(typed)
            wait_for(f"{shown!r} shown", lambda: self.shown_time(clock).startswith(shown))
        self.assertEqual(self.shown_time(clock), "1:00 PM")
        warning = desk.find_all("combo box", within=editor)[0]
        desk.open_list(warning)
        desk.click(desk.find("list item", "30 min", within=warning))
        wait_for("30 min chosen", lambda: desk.text_of(warning) == "30 min")
        self.save(editor)

        day = day_number(*self.month, 15)
        self.assertEqual(desk.sql("SELECT event_date, using_time, event_time, warning, title FROM event "
                                  "WHERE title <> 'Dentist'"),
                         [[str(day), "1", "0.541667", "30", "Lunch with O#$%g^Brien"]])
        wait_for("the day lists it", lambda: self.rows("Events") == [["01:00 PM", "Lunch with O'Brien"]])

        desk.click(desk.find("check box", "View All Events"))
        wait_for("every event listed, by date",
                 lambda: [row[1:3] for row in self.rows("Events")] == [["All Day", "Dentist"],
                                                                      ["01:00 PM", "Lunch with O'Brien"]])
        desk.click(desk.find("check box", "View All Events"))
        desk.click(desk.find("table cell", "16"))
        wait_for("the next day empty", lambda: self.rows("Events") == [])
        desk.click(desk.find("table cell", "15"))
        wait_for("back on the day", lambda: len(self.rows("Events")) == 1)

        # A double click edits it; the event stays on its day.
        desk.click(desk.find("table cell", "Lunch with O'Brien"), repeat=2)
        editor = self.window_starting("Edit Event for ")
        name = desk.find("text", "Event name", within=editor)
        self.assertEqual(desk.text_of(name), "Lunch with O'Brien")
        self.assertEqual(self.shown_time(desk.find("spin button", "Event time", within=editor)), "1:00 PM")
        desk.click(name)
        desk.key("End")
        desk.type(" and \"Anna\"")
        self.save(editor)
        self.assertEqual(desk.sql("SELECT event_date, event_time, warning FROM event WHERE title LIKE 'Lunch%'"),
                         [[str(day), "0.541667", "30"]])
        wait_for("the new title listed",
                 lambda: self.rows("Events") == [["01:00 PM", "Lunch with O'Brien and \"Anna\""]])

        # A nameless event is refused.
        desk.click(desk.find("push button", "Add New Event"))
        editor = self.window_starting("Schedule Event for ")
        desk.click(desk.find("push button", "Save", within=editor))
        self.expect_notice("Please enter Event name.")
        desk.click(desk.find("push button", "Cancel", within=editor))
        self.assertEqual(desk.sql("SELECT count(*) FROM event"), [["2"]])

    def test_a_contact_with_two_address_lines(self):
        desk = self.desk
        desk.key("alt+2")
        wait_for("the contacts page", lambda: desk.find("tree", "Contacts"))
        desk.click(desk.find("push button", "Add New Contact"))
        editor = desk.wait_window("Add Contact")
        self.type_into(editor, "text", "Display Information", "met at the harbour")
        desk.click(desk.find("push button", "Save", within=editor))
        self.expect_notice("Please enter a Contact Name.")
        self.assertIsNotNone(desk.window("Add Contact"), "the editor stays open")
        self.type_into(editor, "text", "Last name", "O'Brien")
        self.type_into(editor, "text", "First name", "Sean")
        self.type_into(editor, "text", "Addresses", "12 Harbour Road")
        desk.key("Return")
        desk.type("Dun Laoghaire")
        category = desk.find_all("combo box", within=editor)[0]
        desk.open_list(category)
        desk.click(desk.find("list item", "Friends", within=category))
        self.save(editor)

        self.assertEqual(desk.sql("SELECT lname, fname, mname, address, disp_info, category.name FROM contact "
                                  "JOIN category ON category.id = contact.cat_id"),
                         [["O#$%g^Brien", "Sean", "", "12 Harbour Road\nDun Laoghaire", "met at the harbour",
                           "Friends"]])
        wait_for("the contact listed",
                 lambda: self.rows("Contacts") == [["O'Brien, Sean", "Friends", "met at the harbour"]])

        desk.click(desk.find("table cell", "O'Brien, Sean"), repeat=2)
        editor = desk.wait_window("Edit Contact")
        address = desk.find("text", "Addresses", within=editor)
        self.assertEqual(desk.text_of(address), "12 Harbour Road\nDun Laoghaire")
        desk.click(address)
        desk.key("ctrl+End", "Return")
        desk.type("Co. Dublin")
        self.type_into(editor, "text", "Middle name", "Patrick")
        self.save(editor)
        self.assertEqual(desk.sql("SELECT mname, address FROM contact"),
                         [["Patrick", "12 Harbour Road\nDun Laoghaire\nCo. Dublin"]])
        self.assertEqual(len(self.rows("Contacts")), 1, "changed, not added")

        # A middle name alone is a name.
        desk.click(desk.find("push button", "Add New Contact"))
        editor = desk.wait_window("Add Contact")
        self.type_into(editor, "text", "Middle name", "Maria")
        self.save(editor)
        wait_for("both listed", lambda: len(self.rows("Contacts")) == 2)
        self.assertEqual(desk.sql("SELECT lname, fname FROM contact WHERE mname = 'Maria'"), [["", ""]])

    def test_a_note_subject_stops_at_a_hundred_characters(self):
        desk = self.desk
        desk.key("alt+4")
        wait_for("the notes page", lambda: desk.find("tree", "Notes"))
        desk.click(desk.find("push button", "Add New Note"))
        editor = desk.wait_window("Add New Note")
        desk.click(desk.find("push button", "Save", within=editor))
        self.expect_notice("Please enter a Note subject.")

        typed = ("Shopping list " * 10)[:120]
        self.assertEqual(len(typed), 120)
        before = time.time()
        self.type_into(editor, "text", "Subject", typed)
        subject = desk.find("text", "Subject", within=editor)
        wait_for("the subject typed", lambda: len(desk.text_of(subject)) == 100)
        self.assertEqual(desk.text_of(subject), typed[:100])
        self.type_into(editor, "text", "Note text", "milk, 'oat' if none")
        desk.key("Return", "Return")
        desk.type("bread")
        self.save(editor)

        rows = desk.sql("SELECT subject, content, (last_updated - 25569) * 86400 FROM note")
        self.assertEqual(len(rows), 1)
        stored_subject, content, stamp = rows[0]
        self.assertEqual(stored_subject, typed[:100])
        self.assertEqual(content, "milk, #$%g^oat#$%g^ if none\n\nbread")
        self.assertAlmostEqual(float(stamp) + time.timezone - (time.daylight and time.localtime().tm_isdst) * 3600,
                               (before + time.time()) / 2, delta=60)
        wait_for("the note listed", lambda: [row[0] for row in self.rows("Notes")] == [typed[:100]])

        desk.click(desk.find("table cell", typed[:100]), repeat=2)
        editor = desk.wait_window("Edit Note")
        text = desk.find("text", "Note text", within=editor)
        self.assertEqual(desk.text_of(text), "milk, 'oat' if none\n\nbread")
        desk.click(text)
        desk.key("ctrl+End")
        desk.type(" and eggs")
        self.save(editor)
        self.assertEqual(desk.sql("SELECT content FROM note"), [["milk, #$%g^oat#$%g^ if none\n\nbread and eggs"]])
