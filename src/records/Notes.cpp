#include "records/Notes.h"

#include "app/AppBase.h"
#include "db/Transaction.h"
#include "records/RecordRows.h"

using DBL::IntToString;
using DBL::RealToString;
using RecordRows::Quoted;

namespace {

constexpr char kSelectJoined[] =
    "select note.id, category_id, category.name as catname, subject, content, last_updated from note, category "
    "where note.category_id = category.id ";

NoteRecord ReadNote(const DBL::MemResultSet& row) {
  return NoteRecord{row.GetInt("id"),          row.GetString("subject"), row.GetString("content"),
                    row.GetDouble("last_updated"), row.GetString("catname"), row.GetInt("category_id")};
}

const char* OrderClause(int noteSort) {
  switch (noteSort) {
    case 0: return " order by lower(subject)";
    case 1: return " order by last_updated desc";
    case 2: return "order by lower(catname)";
    default: return "";
  }
}

}  // namespace

NoteRecord LoadNote(int id) {
  return RecordRows::ReadFirst(kSelectJoined + std::string("and note.id = ") + IntToString(id), ReadNote,
                               NoteRecord{});
}

int InsertNote(const NoteRecord& note) { return DBL::ExecuteInsert(InsertNoteSql(note, OleDate::Now())); }

std::string InsertNoteSql(const NoteRecord& n, double lastUpdated) {
  return "insert into note ( subject, content, last_updated, category_id) values (" + Quoted(n.subject) + "," +
         Quoted(n.content) + "," + RealToString(lastUpdated) + "," + IntToString(n.category_id) + ")";
}

int UpdateNote(const NoteRecord& note) { return DBL::ExecuteUpdate(UpdateNoteSql(note, OleDate::Now())); }

std::string UpdateNoteSql(const NoteRecord& n, double lastUpdated) {
  return "update note set subject = " + Quoted(n.subject) + ", content = " + Quoted(n.content) +
         ", last_updated = " + RealToString(lastUpdated) + ",category_id = " + IntToString(n.category_id) +
         " where id = " + IntToString(n.id);
}

int DeleteNote(int id) { return DBL::ExecuteDelete("delete from note where id = " + IntToString(id)); }

std::vector<NoteRecord> ListNotes() {
  return RecordRows::ReadAll<NoteRecord>(kSelectJoined + std::string(OrderClause(GetApp().GetSettings().GetNoteSort())),
                                         ReadNote);
}

std::vector<NoteRecord> ListNotes(DBL::Transaction& transaction) {
  return RecordRows::ReadRows<NoteRecord>(transaction.Query(
      "select note.id, category_id, coalesce(category.name, '') as catname, subject, content, last_updated "
      "from note left join category on note.category_id = category.id order by note.id"), ReadNote);
}
