-- Tables that exchange (import, export) and later sync keep beside the
-- records. Run on every database as it opens, so files made before they
-- existed gain them; each statement leaves a file that has them as it is.
--
-- record_identity: one row per record that has an identity.
--   kind       the record's kind, numbered as category.type_id:
--              0 task, 1 contact, 2 event, 3 note
--   record_id  the record's id in its own table (task, contact, event, note)
--   uid        its UID, unique within the kind: kept from the file it came
--              from, or made here (a random UUID) for a record made here
--   component  the text the record was imported from, whole (an iCalendar
--              component with its overrides and time zones, or a vCard), so
--              that what the organizer does not model is written back; ''
--              for a record made here
--   fields     the record's own fields as they were when `component` was
--              last written or read (see interop/RecordFields.h): a record
--              whose fields still match is unchanged since then
-- Rows whose record was deleted are dropped when the file opens.
CREATE TABLE IF NOT EXISTS record_identity (
  kind       INTEGER NOT NULL,
  record_id  INTEGER NOT NULL,
  uid        TEXT    NOT NULL,
  component  TEXT    NOT NULL DEFAULT '',
  fields     TEXT    NOT NULL DEFAULT '',
  PRIMARY KEY (kind, record_id)
);
CREATE UNIQUE INDEX IF NOT EXISTS record_identity_by_uid ON record_identity(kind, uid);

-- Every record has a UID: records made since the last open, and all records
-- of a file from before this table, get a random (version 4) UUID.
INSERT INTO record_identity (kind, record_id, uid)
  SELECT k.kind, k.id,
         lower(hex(randomblob(4))) || '-' || lower(hex(randomblob(2))) || '-4' ||
         substr(lower(hex(randomblob(2))), 2) || '-' || substr('89ab', 1 + abs(random()) % 4, 1) ||
         substr(lower(hex(randomblob(2))), 2) || '-' || lower(hex(randomblob(6)))
  FROM (SELECT 0 AS kind, id FROM task UNION ALL SELECT 1, id FROM contact
        UNION ALL SELECT 2, id FROM event UNION ALL SELECT 3, id FROM note) AS k
  WHERE NOT EXISTS (SELECT 1 FROM record_identity AS r WHERE r.kind = k.kind AND r.record_id = k.id);

DELETE FROM record_identity
  WHERE (kind = 0 AND record_id NOT IN (SELECT id FROM task))
     OR (kind = 1 AND record_id NOT IN (SELECT id FROM contact))
     OR (kind = 2 AND record_id NOT IN (SELECT id FROM event))
     OR (kind = 3 AND record_id NOT IN (SELECT id FROM note));
