#include "records/RecordSnapshot.h"

#include "db/DBL.h"

namespace {

struct KindTables {
  const char* table;           // the record's own row, by id
  const char* categoryColumn;  // null for a kind without categories
  const char* titleColumns[3];
};

const KindTables kKinds[] = {
    {"task", "category_id", {"name"}},
    {"contact", "cat_id", {"fname", "mname", "lname"}},
    {"event", nullptr, {"title"}},
    {"note", "category_id", {"subject"}},
};

// Further tables holding rows of one record, by kind and id. A record taken
// back or brought back takes these rows with it; a table a file does not have
// yet is passed over.
struct SideTable {
  const char* table;
  std::string (*where)(int kind, int id);
};

std::string ByRecord(int kind, int id) {
  return "kind = " + std::to_string(kind) + " and record_id = " + std::to_string(id);
}

// Each new per-record table goes here.
const std::vector<SideTable> kSideTables = {
    // The UID and the text an import came from: a record brought back is the
    // same record to the next export or sync.
    {"record_identity", ByRecord},
    // How it repeats, and what has reminded: a completion taken back puts a
    // task's series where it was.
    {"repeat_rule", ByRecord},
    // An occurrence changed on its own is linked to its series from both ends.
    {"repeat_override",
     [](int kind, int id) {
       return "(" + ByRecord(kind, id) + ") or (kind = " + std::to_string(kind) + " and series_id = " + std::to_string(id) + ")";
     }},
};

const DBL::StoredValue* Column(const DBL::TableRows& set, const std::string& name) {
  if (set.rows.empty()) return nullptr;
  for (size_t c = 0; c < set.columns.size(); ++c) {
    if (set.columns[c] == name) return &set.rows.front()[c];
  }
  return nullptr;
}

}  // namespace

bool RecordSnapshot::Exists() const { return !tables.empty() && !tables.front().rows.empty(); }

std::string RecordSnapshot::Title() const {
  std::string title;
  if (tables.empty()) return title;
  for (const char* name : kKinds[kind].titleColumns) {
    if (!name) break;
    const DBL::StoredValue* value = Column(tables.front(), name);
    if (!value || value->bytes.empty()) continue;
    if (!title.empty()) title += ' ';
    title += DBL::DecodeText(value->bytes);
  }
  return title;
}

RecordSnapshot RecordSnapshot::Absent() const {
  RecordSnapshot absent{kind, id, {}};
  for (const DBL::TableRows& set : tables) {
    if (set.addMissingOnly) continue;
    absent.tables.push_back(set);
    absent.tables.back().rows.clear();
  }
  return absent;
}

RecordSnapshot TakeSnapshot(int kind, int id) {
  RecordSnapshot snapshot;
  snapshot.kind = kind;
  snapshot.id = id;
  const KindTables& tables = kKinds[kind];
  const std::string byId = "id = " + DBL::IntToString(id);
  try {
    snapshot.tables.push_back(DBL::ReadTableRows(tables.table, byId));
    for (const SideTable& side : kSideTables) {
      snapshot.tables.push_back(DBL::ReadTableRows(side.table, side.where(kind, id)));
    }
    if (tables.categoryColumn) {
      if (const DBL::StoredValue* category = Column(snapshot.tables.front(), tables.categoryColumn)) {
        DBL::TableRows row = DBL::ReadTableRows("category", "id = " + std::to_string(category->integer));
        row.addMissingOnly = true;
        snapshot.tables.push_back(std::move(row));
      }
    }
  } catch (const DBL::SQLException&) {
    snapshot.tables.clear();
  }
  return snapshot;
}

int RestoreSnapshots(const std::vector<RecordSnapshot>& snapshots) {
  std::vector<DBL::TableRows> sets;
  for (const RecordSnapshot& snapshot : snapshots) {
    // A category goes in before the record that refers to it.
    for (auto set = snapshot.tables.rbegin(); set != snapshot.tables.rend(); ++set) sets.push_back(*set);
  }
  return DBL::WriteTableRows(sets);
}
