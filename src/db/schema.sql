-- The organizer's database, created when no organizer.db exists yet.
-- Every column a statement may leave out has a non-NULL default: readers
-- convert every value from text and cannot tell NULL from empty.
-- Colours are stored as decimal 0x00BBGGRR values.

CREATE TABLE category (
  id       INTEGER PRIMARY KEY AUTOINCREMENT,
  type_id  INTEGER NOT NULL DEFAULT 0,
  name     TEXT    NOT NULL DEFAULT '',
  comment  TEXT    NOT NULL DEFAULT ''
);

CREATE TABLE priority (
  id       INTEGER PRIMARY KEY,
  name     TEXT    NOT NULL DEFAULT '',
  comment  TEXT    NOT NULL DEFAULT '',
  color    INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE contact (
  id         INTEGER PRIMARY KEY AUTOINCREMENT,
  cat_id     INTEGER NOT NULL DEFAULT 0,
  fname      TEXT    NOT NULL DEFAULT '',
  mname      TEXT    NOT NULL DEFAULT '',
  lname      TEXT    NOT NULL DEFAULT '',
  disp_info  TEXT    NOT NULL DEFAULT '',
  address    TEXT    NOT NULL DEFAULT '',
  email      TEXT    NOT NULL DEFAULT '',
  phone      TEXT    NOT NULL DEFAULT '',
  note       TEXT    NOT NULL DEFAULT ''
);

CREATE TABLE event (
  id          INTEGER PRIMARY KEY AUTOINCREMENT,
  event_date  INTEGER NOT NULL DEFAULT 0,
  using_time  INTEGER NOT NULL DEFAULT 0,
  event_time  REAL    NOT NULL DEFAULT 0,
  title       TEXT    NOT NULL DEFAULT '',
  note        TEXT    NOT NULL DEFAULT '',
  warning     INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE note (
  id            INTEGER PRIMARY KEY AUTOINCREMENT,
  subject       TEXT    NOT NULL DEFAULT '',
  content       TEXT    NOT NULL DEFAULT '',
  last_updated  REAL    NOT NULL DEFAULT 0,
  category_id   INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE task (
  id               INTEGER PRIMARY KEY AUTOINCREMENT,
  category_id      INTEGER NOT NULL DEFAULT 0,
  priority_id      INTEGER NOT NULL DEFAULT 2,
  name             TEXT    NOT NULL DEFAULT '',
  description      TEXT    NOT NULL DEFAULT '',
  deadline         INTEGER NOT NULL DEFAULT 0,
  deadline_time    INTEGER NOT NULL DEFAULT 0,
  due_date         INTEGER NOT NULL DEFAULT 0,
  due_time         REAL    NOT NULL DEFAULT 0,
  warning          INTEGER NOT NULL DEFAULT 0,
  updated_warning  INTEGER NOT NULL DEFAULT -1,
  completed        INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE settings (
  password_protect  INTEGER NOT NULL DEFAULT 0,
  password          TEXT    NOT NULL DEFAULT '',
  autostart         INTEGER NOT NULL DEFAULT 0,
  min_startup       INTEGER NOT NULL DEFAULT 0,
  stay_on_top       INTEGER NOT NULL DEFAULT 0,
  transparent       INTEGER NOT NULL DEFAULT 0,
  clr_background    INTEGER NOT NULL DEFAULT 15660278,
  clr_text          INTEGER NOT NULL DEFAULT 2696481,
  clr_border        INTEGER NOT NULL DEFAULT 9203808,
  clr_highlight     INTEGER NOT NULL DEFAULT 16047564,
  clr_lo_prior      INTEGER NOT NULL DEFAULT 11065000,
  clr_med_prior     INTEGER NOT NULL DEFAULT 9228021,
  clr_hi_prior      INTEGER NOT NULL DEFAULT 10724338,
  install_id        INTEGER NOT NULL DEFAULT 0,
  note_sort         INTEGER NOT NULL DEFAULT 0,
  task_sort         INTEGER NOT NULL DEFAULT 0,
  contact_sort      INTEGER NOT NULL DEFAULT 0
);

-- Tables added after the first build live in identity.sql: they are also
-- added to older files when they open.

-- Lists of one day, usage counts before deleting a category.
CREATE INDEX event_by_date ON event(event_date);
CREATE INDEX task_by_category ON task(category_id);
CREATE INDEX contact_by_category ON contact(cat_id);
CREATE INDEX note_by_category ON note(category_id);

INSERT INTO priority (id, name, comment, color) VALUES
  (1, 'High',   'Needs attention first', 10724338),
  (2, 'Medium', 'The usual',             9228021),
  (3, 'Low',    'When there is time',    11065000);

-- type_id: 0 tasks, 1 contacts, 3 notes (dates and events have none).
INSERT INTO category (type_id, name, comment) VALUES
  (0, 'General',  'Everything else'),
  (0, 'Work',     'Tasks for work'),
  (0, 'Personal', 'Tasks at home'),
  (1, 'Family',   ''),
  (1, 'Friends',  ''),
  (1, 'Work',     ''),
  (3, 'General',  ''),
  (3, 'Ideas',    '');

-- One settings row; every column takes its default: a light theme.
INSERT INTO settings DEFAULT VALUES;
