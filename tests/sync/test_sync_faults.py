"""Sync against real servers through a proxy that fails on demand: edits made
while a sync runs, server errors, timeouts and cut replies, and collections
that come back empty."""

import signal
import unittest

from servers import PASSWORD, FaultyProxy, Server, SyncCase, calendar, event


class FaultCases(SyncCase):
    server_kind = None

    @classmethod
    def setUpClass(cls):
        cls.server = Server(cls.server_kind)
        cls.proxy = FaultyProxy(cls.server)

    @classmethod
    def tearDownClass(cls):
        cls.proxy.stop()
        cls.server.remove()

    def setUp(self):
        self.proxy.reset()
        self.connect(self.proxy.url)

    def sync_held_at(self, method, part, meanwhile):
        """A sync that stops at the request `method` whose body holds `part`
        while `meanwhile` runs, then goes on."""
        self.proxy.faults = [(method, part, "hold", {})]
        process = self.organizer.start("--sync", stdin=PASSWORD + "\n")
        try:
            self.assertTrue(self.proxy.held.wait(60), "the sync never reached " + part)
            meanwhile()
        finally:
            self.proxy.release.set()
        code, out, err = self.organizer.finish(process)
        self.assertEqual(code, 0, out + err)
        return out

    def test_an_edit_made_while_a_sync_runs_is_not_overwritten(self):
        self.phone.put(self.calendar + "x.ics", calendar(event("ev-x", "Plan A")))
        self.phone.put(self.calendar + "y.ics", calendar(event("ev-y", "Walk")))
        self.sync()
        # The phone changes one and deletes the other; here both are edited
        # after the sync read them and before it writes.
        self.phone.put(self.href_of(self.calendar, "ev-x"), calendar(event("ev-x", "Plan B")))
        self.phone.delete(self.href_of(self.calendar, "ev-y"))
        self.import_text(calendar(event("ev-new", "Trigger")))

        def edit():
            self.organizer.change("update event set title = 'Plan C' where title = 'Plan A'")
            self.organizer.change("update event set title = 'Walk far' where title = 'Walk'")

        self.sync_held_at("PUT", "UID:ev-new", edit)
        self.assertEqual(self.titles(), ["Plan C", "Trigger", "Walk far"])

        # The next run takes them as the person's changes: a conflict, and a
        # record changed here that the phone deleted comes back there.
        done = self.sync()
        self.assertIn("conflicts 1", done.stdout)
        self.assertEqual(self.titles(), ["Plan B", "Plan C (conflict)", "Trigger", "Walk far"])
        self.assertIn("SUMMARY:Walk far", self.server_item(self.calendar, "ev-y"))
        self.assertIn("SUMMARY:Plan B", self.server_item(self.calendar, "ev-x"))
        self.assertIn("received 0, sent 1", self.sync().stdout)  # the conflict copy
        self.assertEqual(len(self.phone.list(self.calendar)), 4)


    def test_server_faults_lose_nothing_and_double_nothing(self):
        self.import_text(calendar(event("f-1", "First")))
        self.sync()
        self.phone.put(self.calendar + "f-2.ics", calendar(event("f-2", "From the phone")))
        self.import_text(calendar(event("f-3", "From here")), "more.ics")
        # A server that stops answering is given up after two seconds here.
        self.organizer.env["ORVALE_SYNC_TIMEOUT"] = "2"
        offline = "Offline, will retry"
        faults = [("REPORT", self.calendar, 500, {}, "HTTP 500", offline),
                  ("REPORT", self.calendar, 503, {"Retry-After": "120"}, "HTTP 503, retry after 120 s", offline),
                  ("REPORT", "calendar-multiget", "cut", {}, "fetching items", offline),
                  ("REPORT", "calendar-multiget", "silent", {}, "did not answer in time", offline),
                  ("PUT", "UID:f-3", 507, {}, "no room left", "no room left")]
        for method, part, status, headers, said, state in faults:
            with self.subTest(fault=status):
                self.proxy.reset()
                self.proxy.faults = [(method, part, status, headers)]
                done = self.sync(expect_ok=False)
                self.proxy.release.set()
                self.assertEqual(done.returncode, 1, done.stdout)
                self.assertIn(said, done.stderr)
                self.assertIn(state, self.organizer.run("--accounts").stdout.splitlines()[0])
                if method == "REPORT":  # nothing came, nothing was written
                    self.assertEqual(self.titles(), ["First", "From here"])
        # What the phone added came before the refused upload, which waits here.
        self.assertEqual(self.titles(), ["First", "From here", "From the phone"])
        self.assertIsNone(self.server_item(self.calendar, "f-3"))

        self.proxy.reset()
        self.sync()
        self.assertEqual(self.titles(), ["First", "From here", "From the phone"])
        self.assertEqual(len(self.phone.list(self.calendar)), 3)
        self.assertIn("received 0, sent 0, deleted here 0, deleted there 0, conflicts 0", self.sync().stdout)


    def test_a_sync_killed_half_way_is_finished_by_the_next_without_doubles(self):
        count = 40
        self.import_text(calendar(*[event("bulk-%02d" % i, "Item %d" % i) for i in range(count)]))
        self.phone.put(self.calendar + "from-phone.ics", calendar(event("phone-k", "From the phone")))
        # Killed while an upload is under way; that upload then reaches the
        # server, its answer lost with the program.
        self.proxy.faults = [("PUT", "UID:bulk-20", "hold", {})]
        process = self.organizer.start("--sync", stdin=PASSWORD + "\n")
        self.assertTrue(self.proxy.held.wait(60))
        process.send_signal(signal.SIGKILL)
        self.organizer.finish(process)
        self.proxy.release.set()
        self.assertLess(len(self.phone.list(self.calendar)), count)

        self.sync()
        self.assertEqual(len(self.phone.list(self.calendar)), count + 1)
        self.assertEqual(self.organizer.query("select count(*) from event")[0][0], count + 1)
        self.assertEqual(self.organizer.query("select count(distinct uid) from record_identity where kind = 2")[0][0],
                         count + 1)
        self.assertIn("received 0, sent 0", self.sync().stdout)

    def test_a_second_sync_waits_for_the_first_and_nothing_is_doubled(self):
        self.import_text(calendar(*[event("pair-%02d" % i, "Pair %d" % i) for i in range(10)]))
        self.proxy.faults = [("PUT", "UID:pair-05", "hold", {})]
        first = self.organizer.start("--sync", stdin=PASSWORD + "\n")
        self.assertTrue(self.proxy.held.wait(60))
        second = self.organizer.start("--sync", stdin=PASSWORD + "\n")
        try:
            self.assertIn("this one waits for it to finish", second.stderr.readline())
        finally:
            self.proxy.release.set()
        for process in (first, second):
            code, out, err = self.organizer.finish(process)
            self.assertEqual(code, 0, out + err)
        self.assertIn("received 0, sent 0", out)  # the second found it all done
        self.assertEqual(len(self.phone.list(self.calendar)), 10)
        self.assertEqual(self.organizer.query("select count(*) from event")[0][0], 10)


class RadicaleFaults(FaultCases, unittest.TestCase):
    server_kind = "radicale"


class XandikosFaults(FaultCases, unittest.TestCase):
    server_kind = "xandikos"


del FaultCases

if __name__ == "__main__":
    unittest.main()
