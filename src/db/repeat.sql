-- Tables of things that repeat, kept beside the records. Run on every
-- database as it opens, like identity.sql; harmless on a file that has them.
--
-- repeat_rule: one row per task or event that repeats. The record's own row
-- holds the first occurrence (for a task: its next one), from which the
-- series is worked out, so readers that know nothing of repeats see one item.
--   kind       0 task, 2 event (as category.type_id)
--   record_id  the record's id in its own table
--   rrule      the RRULE value of iCalendar, e.g. FREQ=WEEKLY;BYDAY=MO,WE
--   excluded   day numbers of removed occurrences (EXDATE), blank-separated
--   added      day numbers of extra occurrences (RDATE), blank-separated
--   reminded   the latest occurrence (OLE date) that has reminded: each one
--              reminds once, while the record keeps its warning for the next
CREATE TABLE IF NOT EXISTS repeat_rule (
  kind       INTEGER NOT NULL,
  record_id  INTEGER NOT NULL,
  rrule      TEXT    NOT NULL,
  excluded   TEXT    NOT NULL DEFAULT '',
  added      TEXT    NOT NULL DEFAULT '',
  reminded   REAL    NOT NULL DEFAULT 0,
  PRIMARY KEY (kind, record_id)
);

-- repeat_override: a record that was one occurrence of a series and was
-- changed on its own ("this one only"): exported with the series' UID and a
-- RECURRENCE-ID of `day`.
CREATE TABLE IF NOT EXISTS repeat_override (
  kind       INTEGER NOT NULL,
  record_id  INTEGER NOT NULL,
  series_id  INTEGER NOT NULL,
  day        INTEGER NOT NULL,
  PRIMARY KEY (kind, record_id)
);

-- The dates page and the calendar look for the tasks due on a few days.
CREATE INDEX IF NOT EXISTS task_by_due_date ON task(due_date);

DELETE FROM repeat_rule
  WHERE (kind = 0 AND record_id NOT IN (SELECT id FROM task))
     OR (kind = 2 AND record_id NOT IN (SELECT id FROM event));
DELETE FROM repeat_override
  WHERE (kind = 0 AND (record_id NOT IN (SELECT id FROM task) OR series_id NOT IN (SELECT id FROM task)))
     OR (kind = 2 AND (record_id NOT IN (SELECT id FROM event) OR series_id NOT IN (SELECT id FROM event)));
