#!/usr/bin/python3
"""Imports iCalendar and vCard files written by other programs with the real
executable (no display), checks the counts and fields against what the
independent readers python3-icalendar and python3-vobject find in them, exports
everything again and checks that each record comes back property by property,
and that importing the export adds nothing.

    check_files.py ORGANIZER FOLDER

FOLDER holds ics/ and vcf/. Exits 77 (skipped) when it is absent.
"""
import os
import re
import sqlite3
import subprocess
import sys
import tempfile

import icalendar
import vobject

KINDS = {"VTODO": 0, "VEVENT": 2, "VJOURNAL": 3}
failures = []


def fail(name, text):
    failures.append(f"{name}: {text}")


def run(organizer, home, *args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["XDG_DATA_HOME"] = home
    env["XDG_CONFIG_HOME"] = home
    return subprocess.run([organizer, *args], env=env, capture_output=True, text=True, timeout=60)


def database(home):
    return sqlite3.connect(os.path.join(home, "Tavrin", "Orvale Organizer", "organizer.db"))


def decode(text):
    return text.replace("#$%g^", "'").replace("*(!G^%^", '"')


def calendars(path):
    with open(path, "rb") as f:
        return icalendar.Calendar.from_ical(f.read(), multiple=True)


def ical_items(path):
    """(kind, uid) -> master component, as python3-icalendar reads the file."""
    items = {}
    for cal in calendars(path):
        for comp in cal.walk():
            kind = KINDS.get(comp.name)
            if kind is None:
                continue
            uid = str(comp.get("UID", ""))
            if not uid:
                uid = "?" + str(len(items))
            if (kind, uid) not in items or "RECURRENCE-ID" not in comp:
                if (kind, uid) in items and "RECURRENCE-ID" in comp:
                    continue
                items[(kind, uid)] = comp
    return items


def overrides(path, items):
    """Occurrences a repeating task or event changed on its own: records of their own."""
    out = []
    for cal in calendars(path):
        for comp in cal.walk():
            kind = KINDS.get(comp.name)
            if kind not in (0, 2) or "RECURRENCE-ID" not in comp:
                continue
            master = items.get((kind, str(comp.get("UID", ""))))
            when = "DTSTART" if kind == 2 else "DUE"
            if master is not None and "RRULE" in master and when in master and when in comp:
                out.append((kind, comp))
    return out


def props(comp):
    """Every property of the component and its subcomponents, as text."""
    out = []
    for sub in comp.walk():
        for name, value in sub.property_items(recursive=False):
            if name in ("BEGIN", "END"):
                continue
            out.append((sub.name, name, value.to_ical() if hasattr(value, "to_ical") else str(value)))
    return sorted(out, key=repr)


def card_props(card):
    out = []
    for name, lines in card.contents.items():
        for line in lines:
            value = line.value
            if isinstance(value, bytes):
                value = value.hex()
            out.append((name, str(value), repr(sorted((k, sorted(v)) for k, v in line.params.items()))))
    return sorted(out)


def export(organizer, home, file, name, what):
    """The path of the file exported into home, or None when it failed."""
    out = os.path.join(home, file)
    result = run(organizer, home, "--export", out)
    if result.returncode != 0:
        fail(name, f"{what} failed: {result.stderr.strip()}")
        return None
    return out


def compare_export(name, expected, exported, upgraded, view, differs):
    """Each record of the file is in the export, and `view` of it the same."""
    for key, comp in expected.items():
        if (key[0] == 2 and "DTSTART" not in comp) or key[1].startswith("?") or upgraded:
            continue
        if key not in exported:
            fail(name, f"{key} not exported")
        elif view(exported[key]) != view(comp):
            a, b = view(comp), view(exported[key])
            fail(name, f"{key} {differs}: only in file {[p for p in a if p not in b][:3]}, "
                       f"only in export {[p for p in b if p not in a][:3]}")


def check_ics(organizer, path, name):
    expected = ical_items(path)
    with tempfile.TemporaryDirectory() as home:
        result = run(organizer, home, "--import", path)
        if result.returncode != 0:
            fail(name, f"import refused: {result.stderr.strip()}")
            return
        skipped = sum(1 for (k, _), c in expected.items() if k == 2 and "DTSTART" not in c)
        single = overrides(path, expected)
        want = f"{path}: added {len(expected) - skipped + len(single)}, updated 0, unchanged 0, skipped {skipped}\n"
        if result.stdout != want:
            fail(name, f"printed {result.stdout!r}, expected {want!r}")
        # vCalendar 1.0 is read, not written: its export is iCalendar 2.0.
        upgraded = path.endswith(".vcs")
        db = database(home)
        titles = {0: "select name from task", 2: "select title from event", 3: "select subject from note"}
        for kind, sql in titles.items():
            stored = sorted(decode(r[0]) for r in db.execute(sql))
            # '\\"' is no escape in iCalendar; python3-icalendar keeps the
            # backslash where libical reads the quote that was meant.
            wanted = sorted(str(c.get("SUMMARY", "")).replace('\\"', '"')[:100 if kind == 3 else None]
                            for (k, _), c in expected.items()
                            if k == kind and not (k == 2 and "DTSTART" not in c)) + \
                sorted(str(c.get("SUMMARY", "")) for k, c in single if k == kind)
            wanted = sorted(wanted)
            if stored != wanted and not upgraded:
                pairs = [(a, b) for a, b in zip(stored, wanted) if a != b]
                fail(name, f"kind {kind}: {len(stored)} stored, {len(wanted)} expected; first difference {pairs[:1]}")
        for (kind, uid), comp in expected.items():
            if kind == 0 and "PRIORITY" in comp:
                p = int(comp["PRIORITY"])
                want_p = 1 if 1 <= p <= 4 else 3 if p >= 6 else 2
                got = [r[0] for r in db.execute(
                    "select priority_id from task, record_identity where kind = 0 and record_id = task.id and uid = ?",
                    (uid,))]
                if got != [want_p]:
                    fail(name, f"task {uid}: priority {got}, expected {want_p}")
        db.close()

        out = export(organizer, home, "out.ics", name, "export")
        if not out:
            return
        exported = ical_items(out)
        compare_export(name, expected, exported, upgraded, props, "differs")
        again = run(organizer, home, "--import", out)
        n = len(expected) - skipped + len(single)
        if again.stdout != f"{out}: added 0, updated 0, unchanged {n}, skipped 0\n":
            fail(name, f"importing the export: {again.stdout.strip()} {again.stderr.strip()}")
        check_rewritten(organizer, home, name, expected, upgraded)


# What a changed task, event or note has written afresh; everything else of
# its component is written back as it came.
MODELLED = {"SUMMARY", "DESCRIPTION", "CATEGORIES", "PRIORITY", "DUE", "STATUS", "COMPLETED", "PERCENT-COMPLETE",
            "DTSTART", "DTEND", "DURATION", "RRULE", "EXDATE", "RDATE", "RECURRENCE-ID", "LAST-MODIFIED"}


def unmodelled(comp):
    return [p for p in props(comp) if p[0] == comp.name and p[1] not in MODELLED]


def records(home):
    """The stored tasks, events and notes, sorted, times to the minute."""
    db = database(home)
    category = "(select name from category where id = category_id)"
    out = {
        "task": sorted(db.execute(f"select name, description, priority_id, completed, deadline, deadline_time, "
                                  f"due_date, round(due_time * 1440), warning, {category} from task")),
        "event": sorted(db.execute("select title, note, event_date, using_time, round(event_time * 1440), warning "
                                   "from event")),
        "note": sorted(db.execute(f"select subject, content, {category} from note")),
    }
    db.close()
    return out


def check_rewritten(organizer, home, name, expected, upgraded):
    """Every record marked changed is written field by field over what it
    came with: the file reads back as the same records, and what the
    organizer does not model is still there."""
    db = database(home)
    db.execute("update record_identity set fields = ''")
    db.commit()
    db.close()
    out = export(organizer, home, "rewritten.ics", name, "export of changed records")
    if not out:
        return
    try:
        exported = ical_items(out)
    except Exception as e:  # noqa: BLE001 - any failure of the reference reader
        fail(name, f"python3-icalendar cannot read the changed records' export: {e}")
        return
    compare_export(name, expected, exported, upgraded, unmodelled, "changed loses what it came with")
    with tempfile.TemporaryDirectory() as other:
        result = run(organizer, other, "--import", out)
        if result.returncode != 0:
            fail(name, f"the changed records' export is refused: {result.stderr.strip()}")
        elif records(other) != records(home):
            fail(name, "the changed records' export reads back as other records")


def read_cards(path):
    """The cards as python3-vobject reads them; None when it cannot (a
    malformed photo, say), and then the file's cards are only counted."""
    with open(path, encoding="utf-8", errors="replace", newline="") as f:
        text = f.read()
    try:
        return list(vobject.readComponents(text, transform=False, allowQP=True)), None
    except Exception as e:  # noqa: BLE001 - any failure of the reference reader
        depth, count = 0, 0
        for line in text.splitlines():
            word = line.strip().upper()
            if word == "BEGIN:VCARD":
                count += depth == 0
                depth += 1
            elif word == "END:VCARD":
                depth -= 1
        return [None] * count, str(e)


def check_vcf(organizer, path, name):
    cards, unreadable = read_cards(path)
    with tempfile.TemporaryDirectory() as home:
        result = run(organizer, home, "--import", path)
        if result.returncode != 0:
            fail(name, f"import refused: {result.stderr.strip()}")
            return
        want = f"{path}: added {len(cards)}, updated 0, unchanged 0, skipped 0\n"
        if result.stdout != want:
            fail(name, f"printed {result.stdout!r}, expected {want!r}")
        db = database(home)
        stored = sorted(tuple(decode(v) for v in r) for r in db.execute("select lname, fname from contact"))
        wanted = []
        for card in cards if not unreadable else []:
            n = card.contents.get("n")
            if not n or "ENCODING" in n[0].params or "CHARSET" in n[0].params:
                continue
            parts = [p.replace("\\,", ",").replace("\\\\", "\\")
                     for p in re.split(r"(?<!\\);", n[0].value)] + ["", ""]
            if parts[0] or parts[1]:
                wanted.append((parts[0], parts[1]))
        for pair in wanted:
            if pair not in stored:
                fail(name, f"no contact named {pair}; stored {stored[:4]}")
        db.close()
        out = os.path.join(home, "out.vcf")
        result = run(organizer, home, "--export", out)
        if result.returncode != 0:
            fail(name, f"export failed: {result.stderr.strip()}")
            return
        back, export_unreadable = read_cards(out)
        if export_unreadable and not unreadable:
            fail(name, f"python3-vobject cannot read the export: {export_unreadable}")
        elif unreadable:
            print(f"{name}: python3-vobject cannot read it ({unreadable}); counts only")
        elif [card_props(c) for c in back] != [card_props(c) for c in cards]:
            fail(name, "the export differs from the file")
        again = run(organizer, home, "--import", out)
        if again.stdout != f"{out}: added 0, updated 0, unchanged {len(cards)}, skipped 0\n":
            fail(name, f"importing the export: {again.stdout.strip()} {again.stderr.strip()}")


def main():
    organizer, folder = sys.argv[1], sys.argv[2]
    if not os.path.isdir(os.path.join(folder, "ics")):
        print(f"skipped: {folder} is absent")
        return 77
    count = 0
    for sub, check in (("ics", check_ics), ("vcf", check_vcf)):
        for name in sorted(os.listdir(os.path.join(folder, sub))):
            check(organizer, os.path.join(folder, sub, name), f"{sub}/{name}")
            count += 1
    for line in failures:
        print(line)
    print(f"{count} files, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
