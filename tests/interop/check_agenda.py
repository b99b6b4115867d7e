#!/usr/bin/python3
"""A weekly meeting brought in from another program shows on every week of
`--agenda 14`: imports a calendar whose meeting started weeks ago (two
weekdays, one week's Monday removed, one Wednesday moved to the afternoon)
with the real executable, without a display, and checks the agenda's lines
against the occurrences python3-dateutil works out from the same rule.

    check_agenda.py ORGANIZER
"""
import datetime
import os
import subprocess
import sys
import tempfile

from dateutil.rrule import rrulestr

RULE = "FREQ=WEEKLY;BYDAY=MO,WE;INTERVAL=1"


def run(organizer, home, *args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["XDG_DATA_HOME"] = home
    env["XDG_CONFIG_HOME"] = home
    return subprocess.run([organizer, *args], env=env, capture_output=True, text=True, timeout=60)


def attempt(organizer, home, today):
    # Floating times: the meeting is at 10:30 wherever the computer is.
    start = datetime.datetime.combine(today - datetime.timedelta(days=40), datetime.time(10, 30))
    start -= datetime.timedelta(days=start.weekday())  # a Monday
    upcoming = [t for t in rrulestr(RULE, dtstart=start)
                .between(datetime.datetime.combine(today, datetime.time()),
                         datetime.datetime.combine(today + datetime.timedelta(days=15), datetime.time()), inc=True)]
    removed = next(t for t in upcoming if t.weekday() == 0)
    moved = next(t for t in upcoming if t.weekday() == 2)
    fmt = "%Y%m%dT%H%M%S"
    calendar = "\r\n".join([
        "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Elsewhere//Calendar//EN",
        "BEGIN:VEVENT", "UID:weekly-meeting@elsewhere.example", "DTSTAMP:20260101T000000Z",
        "DTSTART:" + start.strftime(fmt), "DURATION:PT1H", "SUMMARY:Weekly meeting",
        "RRULE:" + RULE, "EXDATE:" + removed.strftime(fmt), "END:VEVENT",
        "BEGIN:VEVENT", "UID:weekly-meeting@elsewhere.example", "DTSTAMP:20260101T000000Z",
        "RECURRENCE-ID:" + moved.strftime(fmt), "DTSTART:" + moved.replace(hour=15, minute=0).strftime(fmt),
        "DURATION:PT1H", "SUMMARY:Weekly meeting, later", "END:VEVENT",
        "END:VCALENDAR", ""])
    path = os.path.join(home, "meeting.ics")
    with open(path, "w", newline="") as f:
        f.write(calendar)
    imported = run(organizer, home, "--import", path)
    if imported.returncode != 0:
        sys.exit(f"import refused: {imported.stdout}{imported.stderr}")
    agenda = run(organizer, home, "--agenda", "14")
    if agenda.returncode != 0:
        sys.exit(f"--agenda failed: {agenda.stderr}")
    wanted = []
    for t in upcoming:
        if t.date() > today + datetime.timedelta(days=14) or t == removed:
            continue
        if t == moved:
            wanted.append(t.replace(hour=15, minute=0).strftime("%Y-%m-%d %H:%M") + " event Weekly meeting, later")
        else:
            wanted.append(t.strftime("%Y-%m-%d %H:%M") + " event Weekly meeting")
    return agenda.stdout.splitlines(), sorted(wanted)


def main():
    organizer = sys.argv[1]
    for _ in range(3):
        with tempfile.TemporaryDirectory() as home:
            today = datetime.date.today()
            lines, wanted = attempt(organizer, home, today)
            if datetime.date.today() != today:
                continue  # midnight passed while it ran: the agenda's today is not ours
            if lines != wanted:
                sys.exit("--agenda 14 printed\n  " + "\n  ".join(lines) + "\nexpected\n  " + "\n  ".join(wanted))
            if len(wanted) < 3:
                sys.exit(f"the meeting shows {len(wanted)} times in two weeks")
            print(f"{len(lines)} occurrences listed")
            return
    sys.exit("the date kept changing")


main()
