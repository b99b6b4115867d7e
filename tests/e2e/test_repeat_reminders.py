"""A daily event reminds at each of its occurrences, and keeps its warning for the next.

Two days in a few minutes: the organizer runs first on one day, a few minutes before the event's
time of day, and reminds at the scan; then, restarted on the next day just after that time, it
catches the missed occurrence up at start-up, once. Each run is under a time zone that makes the
local time what the step needs, so whatever the hour the test runs, both occurrences fall in its
minutes.
"""

import datetime
import os
import signal
import subprocess
import time

import pyatspi

from desktop import SCHEMA, DesktopTest, day_number, wait_for

SCAN_WAIT = 75  # one scan a minute, plus start-up
REMINDER = "Orvale Reminder!"
EVENT_TIME = datetime.time(12, 3)


def zone_where_now_is(local):
    """A POSIX TZ (no daylight saving) under which the local date and time is now `local`."""
    offset = round((local - datetime.datetime.utcnow()).total_seconds())
    assert abs(offset) < 86400, "a zone is less than a day from UTC"
    sign = "-" if offset >= 0 else "+"  # POSIX counts zones west of UTC as positive
    offset = abs(offset)
    return f"ZZZ{sign}{offset // 3600:02d}:{offset // 60 % 60:02d}:{offset % 60:02d}"


class RepeatReminders(DesktopTest):
    def setUp(self):
        # The first day: today in a zone where it is now 12:00, one that lies west of UTC or on it,
        # so that the next day at 12:00 is a zone east of it, still less than a day from UTC.
        utc = datetime.datetime.utcnow()
        noon = datetime.datetime.combine(utc.date(), datetime.time(12, 0))
        while noon > utc:
            noon -= datetime.timedelta(days=1)
        self.first_day = noon.date()
        self.use_time_zone(zone_where_now_is(noon))
        super().setUp()

    def prepare(self, desk):
        # The program's own tables of repeats, as it makes them when it opens a file.
        with open(os.path.join(os.path.dirname(SCHEMA), "repeat.sql"), encoding="utf-8") as tables:
            subprocess.run(["sqlite3", desk.db], input=tables.read(), text=True, check=True)
        moment = (EVENT_TIME.hour * 60 + EVENT_TIME.minute) / 1440
        desk.sql("INSERT INTO event (event_date, using_time, event_time, title, note, warning) "
                 f"VALUES ({day_number(self.first_day)}, 1, {moment:.6f}, 'Yoga', '', 5)")
        desk.sql("INSERT INTO repeat_rule (kind, record_id, rrule) SELECT 2, id, 'FREQ=DAILY' FROM event")

    def popups(self):
        return [w for w in self.desk.windows() if w is not None and w.name == REMINDER and self.desk.is_showing(w)]

    def reminded_day(self):
        """The day of the occurrence the series last reminded of."""
        return int(float(self.desk.sql("SELECT reminded FROM repeat_rule")[0][0]))

    def remind_and_close(self, day):
        desk = self.desk
        popup = wait_for("the reminder", lambda: self.popups(), SCAN_WAIT)[0]
        wait_for("the event named", lambda: pyatspi.findDescendant(
            popup, lambda a: a is not None and "Yoga" in a.name))
        self.assertEqual(self.reminded_day(), day_number(day), "the occurrence of this day reminded")
        self.assertEqual(desk.sql("SELECT warning FROM event"), [["5"]], "the warning is kept for the next one")
        desk.click(desk.find("push button", "OK", within=popup))
        wait_for("the reminder closed", lambda: not self.popups())

    def test_each_occurrence_reminds_once(self):
        desk = self.desk
        self.remind_and_close(self.first_day)

        # The next day, two minutes after the event's time: its second occurrence, missed while
        # the program was not running, reminds as the program starts.
        desk.organizer.send_signal(signal.SIGTERM)
        desk.organizer.wait(timeout=10)
        second_day = self.first_day + datetime.timedelta(days=1)
        self.use_time_zone(zone_where_now_is(datetime.datetime.combine(second_day, datetime.time(12, 5))))
        desk.launch()
        self.remind_and_close(second_day)
        time.sleep(2)
        self.assertEqual(self.popups(), [], "yesterday's occurrence does not remind again")
