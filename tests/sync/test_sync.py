"""Two-way sync through the command line against real CalDAV/CardDAV servers,
with a second client playing the phone."""

import os
import unittest

from servers import (PASSWORD, USER, FaultyProxy, Organizer, Server, SyncCase, calendar, card, event, journal, todo)

TASK, CONTACT, EVENT, NOTE = 0, 1, 2, 3


class SyncCases(SyncCase):
    server_kind = None

    @classmethod
    def setUpClass(cls):
        cls.server = Server(cls.server_kind)

    @classmethod
    def tearDownClass(cls):
        cls.server.remove()

    def setUp(self):
        self.connect(self.server.url)

    def test_first_sync_with_data_on_both_sides_doubles_nothing(self):
        self.phone.put(self.calendar + "shared.ics", calendar(event("shared-1", "Team lunch")))
        self.phone.put(self.calendar + "phone-only.ics", calendar(event("phone-1", "Flight")))
        self.phone.put(self.cards + "ann.vcf", card("card-1", "Lee", "Ann", "TEL;TYPE=cell:555 0101\r\n"))
        self.import_text(calendar(event("shared-1", "Team lunch"), todo("task-1", "Water the plants"),
                                  journal("note-1", "Ideas", "Paint the fence")))
        self.import_text(card("card-2", "Doe", "Jon"), "local.vcf")

        self.sync()

        self.assertEqual(self.titles(), ["Flight", "Team lunch"])
        self.assertEqual(sorted(r[0] for r in self.organizer.query("select lname from contact")), ["Doe", "Lee"])
        on_server = self.phone.texts(self.calendar).values()
        self.assertEqual(sum("UID:shared-1" in t for t in on_server), 1)
        self.assertEqual(len(on_server), 4)  # shared, flight, task, note
        self.assertIn("Water the plants", self.server_item(self.calendar, "task-1"))
        self.assertIn("Paint the fence", self.server_item(self.calendar, "note-1"))
        self.assertIn("N:Doe;Jon", self.server_item(self.cards, "card-2"))

        again = self.sync()
        self.assertNotIn("received 1", again.stdout)
        self.assertEqual(again.stdout.count("received 0, sent 0, deleted here 0, deleted there 0"), 2, again.stdout)

    def test_changes_and_deletions_go_both_ways(self):
        self.phone.put(self.calendar + "a.ics", calendar(event("ev-a", "Dentist")))
        self.phone.put(self.cards + "b.vcf", card("card-b", "Roe", "Bea"))
        self.import_text(calendar(todo("task-c", "Call the bank"), journal("note-d", "Recipe", "Flour")))
        self.sync()

        # The phone changes the event and deletes the card.
        self.phone.put(self.href_of(self.calendar, "ev-a"), calendar(event("ev-a", "Dentist at 10")))
        self.phone.delete(self.href_of(self.cards, "card-b"))
        # Here: the task is renamed and the note deleted by another program,
        # and a new event arrives by import.
        self.organizer.change("update task set name = 'Call the bank today'")
        self.organizer.change("delete from note")
        self.import_text(calendar(event("ev-new", "Concert", "20270210")), "new.ics")

        done = self.sync()
        self.assertIn("received 1", done.stdout)
        self.assertEqual(self.titles(), ["Concert", "Dentist at 10"])
        self.assertEqual(self.organizer.query("select count(*) from contact")[0][0], 0)
        self.assertIn("SUMMARY:Call the bank today", self.server_item(self.calendar, "task-c"))
        self.assertIsNone(self.server_item(self.calendar, "note-d"))
        self.assertIn("SUMMARY:Concert", self.server_item(self.calendar, "ev-new"))
        # Sent by the last sync and deleted on the phone before the next one.
        self.phone.delete(self.href_of(self.calendar, "ev-new"))
        self.assertIn("deleted here 1", self.sync().stdout)
        self.assertEqual(self.titles(), ["Dentist at 10"])

    def test_conflict_keeps_both_versions_and_is_counted(self):
        self.phone.put(self.calendar + "c.ics", calendar(event("ev-c", "Review")))
        self.sync()
        self.phone.put(self.href_of(self.calendar, "ev-c"), calendar(event("ev-c", "Review with Kim")))
        self.organizer.change("update event set title = 'Review at home'")

        done = self.sync()
        self.assertIn("conflicts 1", done.stdout)
        self.assertEqual(self.titles(), ["Review at home (conflict)", "Review with Kim"])
        listing = self.organizer.run("--accounts")
        self.assertIn("1 conflict", listing.stdout)
        # The copy reaches the server with the next sync; the phone's version stays.
        self.sync()
        on_server = self.phone.texts(self.calendar).values()
        self.assertEqual(sorted(t.split("SUMMARY:")[1].split("\r\n")[0].strip() for t in on_server),
                         ["Review at home (conflict)", "Review with Kim"])
        # Deleting the copy resolves it.
        self.organizer.change("delete from event where title like '%(conflict)'")
        self.assertNotIn("conflict", self.organizer.run("--accounts").stdout)

    def test_changed_on_one_side_and_deleted_on_the_other_survives_and_deleted_on_both_is_forgotten(self):
        self.phone.put(self.calendar + "s.ics", calendar(event("ev-s", "Yoga")))
        self.phone.put(self.calendar + "t.ics", calendar(event("ev-t", "Choir")))
        self.phone.put(self.calendar + "u.ics", calendar(event("ev-u", "Picnic")))
        self.sync()
        self.phone.delete(self.href_of(self.calendar, "ev-s"))
        self.organizer.change("update event set title = 'Yoga outdoors' where title = 'Yoga'")
        # And the other way: deleted here, changed there.
        self.organizer.change("delete from event where title = 'Choir'")
        self.phone.put(self.href_of(self.calendar, "ev-t"), calendar(event("ev-t", "Choir moved")))

        # And deleted on both sides.
        self.phone.delete(self.href_of(self.calendar, "ev-u"))
        self.organizer.change("delete from event where title = 'Picnic'")

        self.sync()
        self.assertEqual(self.titles(), ["Choir moved", "Yoga outdoors"])
        self.assertIn("Yoga outdoors", self.server_item(self.calendar, "ev-s"))
        self.assertIn("Choir moved", self.server_item(self.calendar, "ev-t"))
        self.assertEqual(len(self.phone.list(self.calendar)), 2)
        self.assertEqual(self.organizer.query("select count(*) from sync_item where kind = 2"), [(2,)])
        self.assertIn("received 0, sent 0, deleted here 0, deleted there 0, conflicts 0", self.sync().stdout)

    def test_what_the_organizer_does_not_model_is_written_back(self):
        extra = ("RRULE:FREQ=WEEKLY;BYDAY=TU\r\nATTENDEE;CN=Bob:mailto:bob@example.org\r\n"
                 "X-PHONE-COLOUR:teal\r\nLOCATION:Room 4\r\n")
        self.phone.put(self.calendar + "r.ics", calendar(event("ev-r", "Standup", extra=extra)))
        self.phone.put(self.cards + "p.vcf", card("card-p", "Poe", "Ed", "ORG:Acme\r\nX-PHONE-TAG:vip\r\n"))
        self.sync()
        self.organizer.change("update event set title = 'Standup (short)'")
        self.organizer.change("update contact set note = 'Met at the fair'")
        self.sync()

        text = self.server_item(self.calendar, "ev-r")
        self.assertIn("SUMMARY:Standup (short)", text)
        for kept in ("RRULE:FREQ=WEEKLY;BYDAY=TU", "X-PHONE-COLOUR:teal", "LOCATION:Room 4", "mailto:bob@example.org"):
            self.assertIn(kept, text)
        vcard = self.server_item(self.cards, "card-p")
        self.assertIn("Met at the fair", vcard)
        self.assertIn("ORG:Acme", vcard)
        self.assertIn("X-PHONE-TAG:vip", vcard)

    def test_an_occurrence_moved_on_the_phone_stays_moved_both_ways(self):
        import icalendar
        series = event("ev-w", "Swim", "20270105", "RRULE:FREQ=WEEKLY;COUNT=4\r\n")
        moved = ("BEGIN:VEVENT\r\nUID:ev-w\r\nDTSTAMP:20260101T000000Z\r\nRECURRENCE-ID:20270112T100000Z\r\n"
                 "DTSTART:20270113T150000Z\r\nDTEND:20270113T160000Z\r\nSUMMARY:Swim (moved)\r\nEND:VEVENT\r\n")
        self.phone.put(self.calendar + "w.ics", calendar(series))
        self.sync()
        self.phone.put(self.href_of(self.calendar, "ev-w"), calendar(series, moved))
        self.sync()
        # The moved occurrence is a record of its own, linked to its series.
        taken = self.organizer.query("select e.title, o.series_id, s.title from event e join repeat_override o"
                                     " on o.kind = 2 and o.record_id = e.id join event s on s.id = o.series_id")
        self.assertEqual([(t, s) for t, _, s in taken], [("Swim (moved)", "Swim")])

        def on_server():
            texts = list(self.phone.texts(self.calendar).values())
            self.assertEqual(len(texts), 1)  # one resource: the series with its occurrence
            parts = icalendar.Calendar.from_ical(texts[0]).walk("VEVENT")
            self.assertEqual(sorted(str(p["UID"]) for p in parts), ["ev-w", "ev-w"])
            return ([p for p in parts if "RECURRENCE-ID" not in p][0], [p for p in parts if "RECURRENCE-ID" in p][0])

        self.organizer.change("update event set title = 'Swim laps' where title = 'Swim'")
        self.assertIn("sent 1", self.sync().stdout)
        master, occurrence = on_server()
        self.assertEqual(str(master["SUMMARY"]), "Swim laps")
        self.assertEqual(master["RRULE"]["FREQ"], ["WEEKLY"])
        self.assertNotIn("EXDATE", master)
        self.assertEqual(str(occurrence["SUMMARY"]), "Swim (moved)")
        self.assertEqual(occurrence["RECURRENCE-ID"].dt.strftime("%Y%m%dT%H%M%z"), "20270112T1000+0000")
        self.assertEqual(occurrence["DTSTART"].dt.strftime("%Y%m%dT%H%M%z"), "20270113T1500+0000")
        self.assertIn("received 0, sent 0", self.sync().stdout)
        # The occurrence changed here goes back inside its series.
        self.organizer.change("update event set title = 'Swim (pool shut)' where title = 'Swim (moved)'")
        self.assertIn("sent 1", self.sync().stdout)
        master, occurrence = on_server()
        self.assertEqual((str(master["SUMMARY"]), str(occurrence["SUMMARY"])), ("Swim laps", "Swim (pool shut)"))

        # The phone puts the occurrence back into the series: its record goes.
        self.phone.put(self.href_of(self.calendar, "ev-w"), calendar(event("ev-w", "Swim laps", "20270105",
                                                                           "RRULE:FREQ=WEEKLY;COUNT=4\r\n")))
        self.sync()
        self.assertEqual(self.titles(), ["Swim laps"])
        self.assertEqual(self.organizer.query("select count(*) from repeat_override"), [(0,)])

    def test_server_down_fails_plainly_and_the_next_sync_finishes(self):
        self.import_text(calendar(event("ev-d", "Garden party")))
        self.server.stop()
        try:
            done = self.sync(expect_ok=False)
            self.assertEqual(done.returncode, 1)
            self.assertIn("failed", done.stderr)
            self.assertIn("Offline, will retry", self.organizer.run("--accounts").stdout)
        finally:
            self.server.start()
        self.sync()
        self.assertIn("Garden party", self.server_item(self.calendar, "ev-d"))
        self.assertIn("Synced", self.organizer.run("--accounts").stdout)


class RadicaleSync(SyncCases, unittest.TestCase):
    server_kind = "radicale"

    def test_wrong_password_is_refused_and_nothing_is_stored(self):
        other = Organizer()
        self.addCleanup(other.remove)
        done = other.run("--add-account", self.server.url, USER, stdin="not the password\n")
        self.assertEqual(done.returncode, 1)
        self.assertIn("refused the user name or password", done.stderr)
        self.assertEqual(other.query("select count(*) from sync_account")[0][0], 0)

    def test_the_password_is_kept_in_the_secret_service_not_the_database(self):
        # Added in setUp with the password on standard input; this sync has none.
        self.import_text(calendar(event("ev-k", "Keyring")))
        done = self.organizer.run("--sync", stdin="")
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(self.organizer.db, "rb") as f:
            self.assertNotIn(PASSWORD.encode(), f.read())


    def test_server_faults_lose_nothing_and_an_unchanged_sync_asks_once(self):
        proxy = FaultyProxy(self.server)
        self.addCleanup(proxy.stop)
        other = Organizer()
        self.addCleanup(other.remove)
        self.assertEqual(other.run("--add-account", proxy.url, USER, stdin=PASSWORD + "\n").returncode, 0)
        self.import_into(other, calendar(event("f-1", "First")))
        self.assertEqual(other.run("--sync", stdin=PASSWORD + "\n").returncode, 0)

        self.phone.put(self.calendar + "f-2.ics", calendar(event("f-2", "From the phone")))
        self.import_into(other, calendar(event("f-3", "From here")))
        faults = [("REPORT", self.calendar, 503, {"Retry-After": "120"}, "HTTP 503, retry after 120 s",
                   "Offline, will retry"),
                  ("REPORT", "calendar-multiget", "cut", {}, "failed", "Offline, will retry"),
                  ("PUT", "UID:f-3", 507, {}, "no room left", "no room left")]
        for method, part, status, headers, said, state in faults:
            proxy.faults = [(method, part, status, headers)]
            done = other.run("--sync", stdin=PASSWORD + "\n")
            self.assertEqual(done.returncode, 1, (status, done.stdout))
            self.assertIn(said, done.stderr)
            self.assertIn(state, other.run("--accounts").stdout.splitlines()[0])
            if method == "REPORT":  # nothing came, nothing was written
                self.assertEqual(other.query("select count(*) from event")[0][0], 2)
        # The refused item stays here for the next sync; what came from the phone is taken.
        self.assertIsNone(self.server_item(self.calendar, "f-3"))
        self.assertEqual(other.query("select count(*) from event")[0][0], 3)

        self.assertEqual(other.run("--sync", stdin=PASSWORD + "\n").returncode, 0)
        self.assertEqual(sorted(t for (t,) in other.query("select title from event")),
                         ["First", "From here", "From the phone"])
        self.assertEqual(len(self.phone.list(self.calendar)), 3)

        # Nothing changed: one request per collection.
        proxy.requests.clear()
        self.assertEqual(other.run("--sync", stdin=PASSWORD + "\n").returncode, 0)
        self.assertEqual(len(proxy.requests), 2, proxy.requests)
        # One change on each side: at most four requests for the calendar.
        self.phone.put(self.href_of(self.calendar, "f-2"), calendar(event("f-2", "From the phone, moved")))
        other.change("update event set title = 'First renamed' where title = 'First'")
        proxy.requests.clear()
        self.assertEqual(other.run("--sync", stdin=PASSWORD + "\n").returncode, 0)
        self.assertLessEqual(len(proxy.requests), 4 + 1, proxy.requests)
        self.assertIn("First renamed", self.server_item(self.calendar, "f-1"))

    def import_into(self, organizer, text):
        path = os.path.join(organizer.home, "in.ics")
        with open(path, "w", newline="") as f:
            f.write(text)
        self.assertEqual(organizer.run("--import", path).returncode, 0)

    def test_five_thousand_items_arrive_once_and_a_change_each_way_goes_alone(self):
        count = 5000
        # Written straight into the server's storage while it is stopped: as
        # many uploads, or items appearing under a running server, take it
        # minutes to take in.
        folder = os.path.join(self.server.folder, "data", "collection-root", self.calendar.strip("/"))
        names = [os.path.join(folder, "n%04d.ics" % i) for i in range(count)]
        self.server.stop()
        for i, name in enumerate(names):
            with open(name, "w", newline="") as f:
                f.write(calendar(event("n-%04d" % i, "Number %d" % i)))
        self.addCleanup(lambda: [os.remove(name) for name in names if os.path.exists(name)])
        self.server.start()

        first = self.organizer.run("--sync", stdin=PASSWORD + "\n", timeout=600)
        self.assertEqual(first.returncode, 0, first.stderr)
        self.assertIn("received %d," % count, first.stdout)
        self.assertEqual(self.organizer.query("select count(*), count(distinct title) from event"), [(count, count)])
        self.assertEqual(self.organizer.query("select count(*), count(distinct uid) from sync_item where kind = 2"),
                         [(count, count)])
        self.assertIn("received 0, sent 0, deleted here 0, deleted there 0", self.sync().stdout)
        self.assertEqual(self.organizer.query("select count(*) from event"), [(count,)])

        # The phone moves one event, the person renames another here.
        self.phone.put(self.calendar + "n0001.ics", calendar(event("n-0001", "Moved on the phone")))
        self.organizer.change("update event set title = 'Renamed here' where title = 'Number 2'")
        done = self.sync()
        self.assertIn("received 1, sent 1, deleted here 0, deleted there 0, conflicts 0", done.stdout)
        titles = {t for (t,) in self.organizer.query("select title from event")}
        self.assertTrue({"Moved on the phone", "Renamed here"} <= titles)
        self.assertEqual(len(titles), count)
        self.assertIn("SUMMARY:Renamed here", self.phone.request("GET", self.calendar + "n0002.ics")[1])
        self.assertEqual(len(self.phone.list(self.calendar)), count)


class XandikosSync(SyncCases, unittest.TestCase):
    server_kind = "xandikos"

    def test_a_collection_that_comes_back_empty_is_mirrored_only_when_told(self):
        count = 50
        self.import_text(calendar(*[event("many-%02d" % i, "Many %d" % i) for i in range(count)]))
        self.sync()

        def empty_the_server():
            for href in self.phone.list(self.calendar):
                self.phone.delete(href)

        empty_the_server()
        done = self.sync(expect_ok=False)
        self.assertEqual(done.returncode, 1)
        self.assertIn("came back empty", done.stderr)
        self.assertIn("run 'orvale-organizer --sync --put-back'", done.stderr)
        self.assertEqual(self.organizer.query("select count(*) from event")[0][0], count)

        # Put back: every item goes to the server again, nothing is doubled.
        self.assertIn("sent %d," % count, self.sync("--put-back").stdout)
        self.assertEqual(len(self.phone.list(self.calendar)), count)
        self.assertEqual(self.organizer.query("select count(*) from event")[0][0], count)
        self.assertIn("received 0, sent 0, deleted here 0", self.sync().stdout)

        # Delete here: the records go, and the next sync has nothing to do.
        empty_the_server()
        self.assertIn("deleted here %d," % count, self.sync("--delete-here").stdout)
        self.assertEqual(self.organizer.query("select count(*) from event")[0][0], 0)
        self.assertEqual(len(self.phone.list(self.calendar)), 0)
        self.assertIn("received 0, sent 0, deleted here 0, deleted there 0", self.sync().stdout)


del SyncCases

if __name__ == "__main__":
    unittest.main()
