#include "interop/RecordWriter.h"

#include <QString>

#include "db/OleDate.h"
#include "db/Transaction.h"
#include "records/Categories.h"
#include "records/RecordIdentity.h"
#include "recurrence/RepeatRules.h"

namespace Interop {

namespace {

std::string Folded(const std::string& name) { return QString::fromStdString(name).toCaseFolded().toStdString(); }

}  // namespace

RecordWriter::RecordWriter(DBL::Transaction& transaction, bool write) : m_t(transaction), m_write(write) {
  for (int kind : {0, 1, 3}) {
    for (const CategoryRecord& category : ListCategories(kind, transaction)) {
      m_categories[kind].emplace(Folded(category.name), category.id);
      m_names[category.id] = category.name;
      if (!m_defaultCategory.count(kind)) m_defaultCategory[kind] = category.id;
    }
  }
  DBL::MemResultSet rules = transaction.Query("select kind, record_id from repeat_rule");
  while (rules.Next()) m_repeating.emplace(rules.GetInt("kind"), rules.GetInt("record_id"));
}

RecordFields RecordWriter::Fields(const InteropItem& item) {
  RecordFields fields;
  switch (item.kind) {
    case 0: fields = FieldsOf(item.task); break;
    case 1: return FieldsOf(item.contact);
    case 2: fields = FieldsOf(item.event); break;
    default: return FieldsOf(item.note);
  }
  AddRepeat(fields, item.repeat);
  return fields;
}

void RecordWriter::SetCategory(InteropItem& item) {
  if (item.kind == 2) return;
  int id = 0;
  for (const std::string& name : item.categories) {
    const auto found = m_categories[item.kind].find(Folded(name));
    if (found != m_categories[item.kind].end()) {
      id = found->second;
      break;
    }
  }
  if (!id && !item.categories.empty()) {
    const std::string& name = item.categories.front();
    id = m_write ? m_t.Insert(InsertCategorySql({-1, item.kind, name, ""})) : -1 - static_cast<int>(m_made++);
    m_categories[item.kind].emplace(Folded(name), id);
    m_names[id] = name;
  }
  if (!id) id = m_defaultCategory[item.kind];
  item.task.category_id = id;
  item.contact.cat_id = id;
  item.note.category_id = id;
}

int RecordWriter::Store(InteropItem& item, int id, const std::string& fields) {
  if (id) {
    item.task.id = item.contact.id = item.event.id = item.note.id = id;
    switch (item.kind) {
      case 0: m_t.Change(UpdateTaskSql(item.task)); break;
      case 1: m_t.Change(UpdateContactSql(item.contact)); break;
      case 2: m_t.Change(UpdateEventSql(item.event)); break;
      default: m_t.Change(UpdateNoteSql(item.note, item.note.last_updated)); break;
    }
  } else {
    switch (item.kind) {
      case 0:
        id = m_t.Insert(InsertTaskSql(item.task));
        // Insert leaves a task open; a done one is marked so after.
        if (item.task.completed) {
          item.task.id = id;
          m_t.Change(UpdateTaskSql(item.task));
        }
        break;
      case 1: id = m_t.Insert(InsertContactSql(item.contact)); break;
      case 2: id = m_t.Insert(InsertEventSql(item.event)); break;
      default: id = m_t.Insert(InsertNoteSql(item.note, item.note.last_updated)); break;
    }
  }
  StoreIdentity(m_t, {item.kind, id, item.uid, item.component, fields});
  // The rule as the item has it; earlier occurrences do not remind.
  if (item.kind == 0 || item.kind == 2) {
    if (item.repeat.rrule.empty()) {
      if (m_repeating.erase({item.kind, id})) m_t.Change(RemoveRepeatRuleSql(item.kind, id));
    } else {
      m_t.Insert(SaveRepeatRuleSql(item.kind, id, item.repeat, OleDate::Now()));
      m_repeating.emplace(item.kind, id);
    }
  }
  return id;
}

}  // namespace Interop
