#include "interop/Importer.h"

#include <QFile>
#include <QString>
#include <map>
#include <set>
#include <tuple>

#include "db/Transaction.h"
#include "interop/CalendarMapping.h"
#include "interop/ContactMapping.h"
#include "interop/ContentLines.h"
#include "interop/InteropError.h"
#include "interop/RecordFields.h"
#include "interop/VCard.h"
#include "records/Categories.h"
#include "records/RecordIdentity.h"
#include "recurrence/RepeatRules.h"
#include "db/OleDate.h"

namespace Interop {

namespace {

struct Cancelled {};

std::string Folded(const std::string& name) { return QString::fromStdString(name).toCaseFolded().toStdString(); }

std::string ReadWholeFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) throw InteropError(0, "it cannot be read (" + file.errorString().toStdString() + ")");
  if (file.size() > static_cast<qint64>(kMaxFileBytes)) {
    throw InteropError(0, "the file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MB");
  }
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Calendar or vCard, by the first line that is not blank.
bool IsVCardFile(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  return start != std::string::npos && EqualsNoCase(std::string_view(text).substr(start, 11), "BEGIN:VCARD");
}

}  // namespace

// One pass over the items against the database, on the transaction's
// connection: counts only (preview), or counts and writes.
class Importer::Run {
 public:
  Run(DBL::Transaction& transaction, bool write, std::vector<ImportedRecord>& records)
      : m_t(transaction), m_write(write), m_records(records) {
    for (int kind : {0, 1, 3}) {
      for (const CategoryRecord& category : ListCategories(kind, transaction)) {
        m_categories[kind].emplace(Folded(category.name), category.id);
        if (!m_defaultCategory.count(kind)) m_defaultCategory[kind] = category.id;
      }
    }
    for (RecordIdentity& identity : ListIdentities(transaction)) {
      const std::pair<int, std::string> key(identity.kind, identity.uid);
      m_identities.emplace(key, std::move(identity));
    }
    DBL::MemResultSet links = transaction.Query("select kind, record_id, series_id, day from repeat_override");
    while (links.Next()) {
      m_occurrences[{links.GetInt("kind"), links.GetInt("series_id"), links.GetInt("day")}] = links.GetInt("record_id");
    }
    const std::map<std::pair<int, int>, RepeatRule> rules = ListRepeatRules(transaction);
    const auto withRule = [&rules](int kind, int id, RecordFields fields) {
      if (const auto rule = rules.find({kind, id}); rule != rules.end()) AddRepeat(fields, rule->second);
      return FieldsText(fields);
    };
    for (const TaskRecord& r : ListTasks(transaction)) m_current[{0, r.id}] = withRule(0, r.id, FieldsOf(r));
    for (const ContactRecord& r : ListContacts(transaction)) m_current[{1, r.id}] = FieldsText(FieldsOf(r));
    for (const EventRecord& r : ListEvents(transaction)) m_current[{2, r.id}] = withRule(2, r.id, FieldsOf(r));
    for (const NoteRecord& r : ListNotes(transaction)) m_current[{3, r.id}] = FieldsText(FieldsOf(r));
  }

  void Take(InteropItem& item, KindCounts& counts) {
    if (!m_seen.emplace(item.kind, item.uid).second) {
      ++counts.skipped;
      counts.why.push_back("line " + std::to_string(item.line) + ": the same UID as an earlier one (" + item.uid + ")");
      return;
    }
    if (item.kind != 2) SetCategory(item);
    const std::string fields = FieldsText(Fields(item));
    const auto known = m_identities.find({item.kind, item.uid});
    const int knownId = known != m_identities.end() ? known->second.record_id : OccurrenceRecord(item);
    const auto current = m_current.find({item.kind, knownId});
    if (current != m_current.end()) {
      if (current->second == fields && known != m_identities.end() && known->second.component == item.component) {
        ++counts.unchanged;
        return;
      }
      ++counts.updated;
      m_records.push_back({item.kind, knownId, false});
      if (m_write) Store(item, knownId, fields);
      return;
    }
    ++counts.added;
    if (m_write) m_records.push_back({item.kind, Store(item, 0, fields), true});
  }

 private:
  static RecordFields Fields(const InteropItem& item) {
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

  // An occurrence changed on its own here has a UID of its own until it is
  // first written: it is known by its series and day.
  int OccurrenceRecord(const InteropItem& item) const {
    if (item.seriesUid.empty()) return 0;
    const auto series = m_identities.find({item.kind, item.seriesUid});
    if (series == m_identities.end()) return 0;
    const auto found = m_occurrences.find({item.kind, series->second.record_id, item.seriesDay});
    return found == m_occurrences.end() ? 0 : found->second;
  }

  // The first category of the kind the file names that is known; else the
  // first name it gives becomes one; a record without any takes the kind's first.
  void SetCategory(InteropItem& item) {
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
    }
    if (!id) id = m_defaultCategory[item.kind];
    item.task.category_id = id;
    item.contact.cat_id = id;
    item.note.category_id = id;
  }

  // Returns the record's id.
  int Store(InteropItem& item, int id, const std::string& fields) {
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
    m_t.Insert(StoreIdentitySql({item.kind, id, item.uid, item.component, fields}));
    if (item.kind == 0 || item.kind == 2) StoreRepeat(item, id);
    m_stored[{item.kind, item.uid}] = id;
    return id;
  }

  // The rule as the file has it (earlier occurrences do not remind), and an
  // occurrence changed on its own linked to its series.
  void StoreRepeat(const InteropItem& item, int id) {
    if (item.repeat.rrule.empty()) {
      m_t.Change(RemoveRepeatRuleSql(item.kind, id));
    } else {
      m_t.Insert(SaveRepeatRuleSql(item.kind, id, item.repeat, OleDate::Now()));
    }
    if (item.seriesUid.empty()) return;
    int series = 0;
    if (const auto stored = m_stored.find({item.kind, item.seriesUid}); stored != m_stored.end()) {
      series = stored->second;
    } else if (const auto known = m_identities.find({item.kind, item.seriesUid}); known != m_identities.end()) {
      series = known->second.record_id;
    }
    if (series > 0) m_t.Insert(LinkOccurrenceSql(item.kind, id, series, item.seriesDay));
  }

  DBL::Transaction& m_t;
  const bool m_write;
  std::vector<ImportedRecord>& m_records;
  std::map<int, std::map<std::string, int>> m_categories;  // by kind: case-folded name -> id
  std::map<int, int> m_defaultCategory;
  std::map<std::pair<int, std::string>, RecordIdentity> m_identities;
  std::map<std::pair<int, int>, std::string> m_current;  // fields text by kind and id
  std::set<std::pair<int, std::string>> m_seen;
  std::map<std::pair<int, std::string>, int> m_stored;  // record ids by kind and UID, of this run
  std::map<std::tuple<int, int, int>, int> m_occurrences;  // record id by kind, series id and day
  size_t m_made = 0;
};

Importer::Importer(std::string path) : m_path(std::move(path)) {}

std::string Importer::Describe(const std::string& path, int line, const std::string& reason) {
  return path + ": " + (line > 0 ? "line " + std::to_string(line) + ": " : "") + reason;
}

void Importer::Read() {
  if (m_read_done) return;
  const std::string text = ReadWholeFile(m_path);
  if (IsVCardFile(text)) {
    for (const VCard& card : ReadVCards(text)) m_read.items.push_back(ContactFromCard(card));
  } else {
    m_read = ReadCalendar(text);
  }
  m_other.clear();
  for (const SkippedItem& skipped : m_read.skipped) {
    if (skipped.kind < 0) m_other.push_back("line " + std::to_string(skipped.line) + ": " + skipped.why);
  }
  m_read_done = true;
}

std::array<KindCounts, 4> Importer::SkippedCounts() const {
  std::array<KindCounts, 4> counts{};
  for (const SkippedItem& skipped : m_read.skipped) {
    if (skipped.kind < 0) continue;
    KindCounts& of = counts[static_cast<size_t>(skipped.kind)];
    ++of.skipped;
    of.why.push_back("line " + std::to_string(skipped.line) + ": " + skipped.why);
  }
  return counts;
}

KindCounts Importer::Total() const {
  KindCounts total;
  for (const KindCounts& counts : m_counts) {
    total.added += counts.added;
    total.updated += counts.updated;
    total.unchanged += counts.unchanged;
    total.skipped += counts.skipped;
  }
  total.skipped += static_cast<int>(m_other.size());
  return total;
}

void Importer::Preview() {
  Read();
  m_counts = SkippedCounts();
  // Nothing is written: the transaction is only for one consistent view.
  std::vector<InteropItem> items = m_read.items;
  m_records.clear();
  DBL::RunTransaction(
      [&](DBL::Transaction& transaction) {
        Run run(transaction, false, m_records);
        for (InteropItem& item : items) run.Take(item, m_counts[static_cast<size_t>(item.kind)]);
      },
      false);
}

bool Importer::Apply(const std::function<bool(int done, int total)>& progress) {
  Read();
  std::array<KindCounts, 4> counts = SkippedCounts();
  const int total = ItemCount();
  std::vector<ImportedRecord> records;
  try {
    DBL::RunTransaction([&](DBL::Transaction& transaction) {
      Run run(transaction, true, records);
      int done = 0;
      for (InteropItem& item : m_read.items) {
        run.Take(item, counts[static_cast<size_t>(item.kind)]);
        if (progress && ++done % 64 == 0 && !progress(done, total)) throw Cancelled{};
      }
      if (progress && !progress(total, total)) throw Cancelled{};
    });
  } catch (const Cancelled&) {
    return false;
  }
  m_counts = counts;
  m_records = std::move(records);
  return true;
}

}  // namespace Interop
