#include "interop/Exporter.h"

#include <QSaveFile>
#include <QString>
#include <map>
#include <stdexcept>
#include <vector>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/Transaction.h"
#include "interop/CalendarMapping.h"
#include "interop/ContactMapping.h"
#include "interop/RecordFields.h"
#include "records/Categories.h"
#include "records/RecordIdentity.h"

namespace Interop {

namespace {

class Writer {
 public:
  explicit Writer(DBL::Transaction& transaction) {
    for (int kind : {0, 1, 3}) {
      for (const CategoryRecord& category : ListCategories(kind, transaction)) m_names[category.id] = category.name;
    }
    for (RecordIdentity& identity : ListIdentities(transaction)) {
      const std::pair<int, int> key(identity.kind, identity.record_id);
      m_identities.emplace(key, std::move(identity));
    }
  }

  // The kept text when the record is unchanged, else the fields written over it.
  template <class Record, class Make>
  std::string Text(int kind, const Record& record, Make make) {
    const auto found = m_identities.find({kind, record.id});
    if (found == m_identities.end()) return make(std::string(UuidFor(kind, record.id)), std::string(), RecordFields{});
    const RecordIdentity& identity = found->second;
    if (!identity.component.empty() && identity.fields == FieldsText(FieldsOf(record))) return identity.component;
    return make(identity.uid, identity.component, ParseFieldsText(identity.fields));
  }

  std::string Category(int id) const {
    const auto found = m_names.find(id);
    return found == m_names.end() ? std::string() : found->second;
  }

 private:
  // A record that got no UID (the file could not be written when it opened):
  // one for this file, from its kind and id.
  static std::string UuidFor(int kind, int id) {
    return "orvale-" + std::to_string(kind) + "-" + std::to_string(id);
  }

  std::map<int, std::string> m_names;
  std::map<std::pair<int, int>, RecordIdentity> m_identities;
};

}  // namespace

bool IsVCardName(const std::string& path) {
  return QString::fromStdString(path).endsWith(".vcf", Qt::CaseInsensitive) ||
         QString::fromStdString(path).endsWith(".vcard", Qt::CaseInsensitive);
}

int ExportFile(const std::string& path, const std::set<int>& kinds) {
  const bool cards = IsVCardName(path);
  // Records made since the file opened get their UIDs now, when the file can be written.
  DBL::UpdateIdentities(DBL::GetDatabasePath());
  std::vector<std::string> texts;
  DBL::RunTransaction(
      [&](DBL::Transaction& transaction) {
        Writer writer(transaction);
        if (cards) {
          if (!kinds.count(1)) return;
          for (const ContactRecord& c : ListContacts(transaction)) {
            texts.push_back(writer.Text(1, c, [&](const std::string& uid, const std::string& kept, const RecordFields& before) {
              return CardForContact(c, writer.Category(c.cat_id), uid, kept, before);
            }));
          }
          return;
        }
        if (kinds.count(0)) {
          for (const TaskRecord& t : ListTasks(transaction)) {
            texts.push_back(writer.Text(0, t, [&](const std::string& uid, const std::string& kept, const RecordFields& before) {
              return ComponentForTask(t, writer.Category(t.category_id), uid, kept, before);
            }));
          }
        }
        if (kinds.count(2)) {
          for (const EventRecord& e : ListEvents(transaction)) {
            texts.push_back(writer.Text(2, e, [&](const std::string& uid, const std::string& kept, const RecordFields& before) {
              return ComponentForEvent(e, uid, kept, before);
            }));
          }
        }
        if (kinds.count(3)) {
          for (const NoteRecord& n : ListNotes(transaction)) {
            texts.push_back(writer.Text(3, n, [&](const std::string& uid, const std::string& kept, const RecordFields& before) {
              return ComponentForNote(n, writer.Category(n.category_id), uid, kept, before);
            }));
          }
        }
      },
      false);

  std::string file;
  if (cards) {
    size_t size = 0;
    for (const std::string& text : texts) size += text.size();
    file.reserve(size);
    for (const std::string& text : texts) file += text;
  } else {
    file = CalendarFile(texts);
  }
  QSaveFile out(QString::fromStdString(path));
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(file.data(), static_cast<qint64>(file.size())) != static_cast<qint64>(file.size()) || !out.commit()) {
    throw std::runtime_error(out.errorString().toStdString());
  }
  return static_cast<int>(texts.size());
}

}  // namespace Interop
