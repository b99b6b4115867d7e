#pragma once

#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

struct NoteRecord {
  int id = -1;
  std::string subject;
  std::string content;
  double last_updated = 0;  // OLE date of the last save, set when saving
  std::string catname;
  int category_id = -1;

  bool operator==(const NoteRecord&) const = default;
};

// The note with this id and its category's name, or a fresh record (id -1)
// when there is none or its category is gone.
NoteRecord LoadNote(int id);
// Both stamp the note with the current local time; the record's own
// last_updated is not used. InsertNote returns the new id (positive); 0 when
// nothing was stored, -1 when the new id could not be read back.
int InsertNote(const NoteRecord& note);
// Each returns 0 on success, otherwise SQLite's code or -1 (no database).
int UpdateNote(const NoteRecord& note);
int DeleteNote(int id);
// Every note whose category exists, in the order of the note_sort setting.
std::vector<NoteRecord> ListNotes();

// For bulk work in one transaction (import, export): the statements of
// InsertNote and UpdateNote stamped with `lastUpdated` (an OLE date), and
// every note by id with its category's name.
std::string InsertNoteSql(const NoteRecord& note, double lastUpdated);
std::string UpdateNoteSql(const NoteRecord& note, double lastUpdated);
std::vector<NoteRecord> ListNotes(DBL::Transaction& transaction);
