#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "interop/InteropItem.h"
#include "interop/RecordFields.h"

namespace DBL {
class Transaction;
}

namespace Interop {

// Puts items read from a file or a server into the database, inside the
// caller's transaction: categories by name, the record, and its identity.
// Without `write` nothing is stored: categories a file would add get
// stand-in ids, so that a preview counts as the import would.
class RecordWriter {
 public:
  RecordWriter(DBL::Transaction& transaction, bool write);

  // The first category of the kind the item names that is known; else the
  // first name it gives becomes one; an item without any takes the kind's
  // first. Events have no categories.
  void SetCategory(InteropItem& item);

  // Stores the item as record `id` (0: a new record) with its identity and
  // `fields`; returns the record's id.
  int Store(InteropItem& item, int id, const std::string& fields);

  static RecordFields Fields(const InteropItem& item);

 private:
  DBL::Transaction& m_t;
  const bool m_write;
  std::map<int, std::map<std::string, int>> m_categories;  // by kind: case-folded name -> id
  std::map<int, int> m_defaultCategory;
  std::map<int, std::string> m_names;
  size_t m_made = 0;
  // The tasks and events with a stored repeat rule, by kind and id: a record
  // without one needs no delete, which was a tenth of an import.
  std::set<std::pair<int, int>> m_repeating;
};

}  // namespace Interop
