-- What the sync keeps beside the records. Run before every sync, so files
-- made before it gain the tables; never a password.
--
-- sync_account: a CalDAV/CardDAV account.
--   url          the address the person gave, as the account's base
--   pinned_sha256 the SHA-256 of a certificate the person chose to trust
--                (hex, lower case), '' for none
--   interval     minutes between syncs
--   last_sync    when it last synced whole (seconds since 1970 UTC), 0 never
--   state        how the last sync ended, in words for the person
CREATE TABLE IF NOT EXISTS sync_account (
  id            INTEGER PRIMARY KEY,
  url           TEXT    NOT NULL,
  user          TEXT    NOT NULL,
  pinned_sha256 TEXT    NOT NULL DEFAULT '',
  interval      INTEGER NOT NULL DEFAULT 15,
  last_sync     INTEGER NOT NULL DEFAULT 0,
  state         TEXT    NOT NULL DEFAULT ''
);

-- sync_collection: a calendar or address book of an account and the kinds
-- of record it receives (0 task, 1 contact, 2 event, 3 note, as
-- category.type_id; a kind goes to one collection of an account).
--   href   the collection's full URL
--   token  the sync token of the last finished sync ('' none or unsupported)
CREATE TABLE IF NOT EXISTS sync_collection (
  id         INTEGER PRIMARY KEY,
  account_id INTEGER NOT NULL,
  href       TEXT    NOT NULL,
  name       TEXT    NOT NULL DEFAULT '',
  kinds      TEXT    NOT NULL,
  token      TEXT    NOT NULL DEFAULT '',
  state      TEXT    NOT NULL DEFAULT ''
);

-- sync_item: one item both sides held after the last sync.
--   kind, record_id  the record (record_id 0: an item of a kind this
--                    collection does not receive, remembered so it is not
--                    fetched again)
--   href, etag       where it is on the server, and its ETag then
--   hash             of its normalised component as synced
CREATE TABLE IF NOT EXISTS sync_item (
  collection_id INTEGER NOT NULL,
  href          TEXT    NOT NULL,
  kind          INTEGER NOT NULL,
  record_id     INTEGER NOT NULL,
  uid           TEXT    NOT NULL,
  etag          TEXT    NOT NULL DEFAULT '',
  hash          TEXT    NOT NULL,
  PRIMARY KEY (collection_id, href)
);
CREATE INDEX IF NOT EXISTS sync_item_by_record ON sync_item(kind, record_id);

-- sync_conflict: the copies a conflict made of the person's version; one
-- counts until the person deletes the copy.
CREATE TABLE IF NOT EXISTS sync_conflict (
  account_id INTEGER NOT NULL,
  kind       INTEGER NOT NULL,
  record_id  INTEGER NOT NULL,
  PRIMARY KEY (kind, record_id)
);
