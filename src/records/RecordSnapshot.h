#pragma once

#include <string>
#include <vector>

#include "db/TableRows.h"

// Everything organizer.db keeps of one record — its row, with its id, and the
// rows of other tables that belong to it — as stored at one moment, so that
// the record can be put back exactly as it was, or removed again.
struct RecordSnapshot {
  int kind = 0;  // as CategoryKind: 0 tasks, 1 contacts, 2 events, 3 notes
  int id = -1;
  std::vector<DBL::TableRows> tables;  // the record's own row comes first

  // False when the record was not in the file at that moment.
  bool Exists() const;
  // The record's name, subject or title as the user sees it.
  std::string Title() const;
  // The same record as not there: restoring it removes the record and its
  // rows, and leaves shared rows such as its category alone. The "before" of
  // a record that an addition or an import brought in.
  RecordSnapshot Absent() const;

  bool operator==(const RecordSnapshot&) const = default;
};

// Reads the record and everything that belongs to it. When the file cannot
// be read the snapshot holds no tables: the change that follows is then not
// kept for undo, and it goes ahead or fails on its own.
RecordSnapshot TakeSnapshot(int kind, int id);

// Makes the file hold each record as its snapshot shows it: put back when it
// existed (its category too, should that have gone meanwhile), removed with
// everything of it when it did not. All records in one transaction. Returns 0
// when stored, otherwise SQLite's code (-1: no file).
int RestoreSnapshots(const std::vector<RecordSnapshot>& snapshots);
