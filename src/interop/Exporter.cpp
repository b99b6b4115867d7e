#include "interop/Exporter.h"

#include <QSaveFile>
#include <QString>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/OleDate.h"
#include "db/Transaction.h"
#include "interop/CalendarMapping.h"
#include "interop/ContactMapping.h"
#include "interop/RecordFields.h"
#include "records/Categories.h"
#include "records/RecordIdentity.h"
#include "recurrence/RepeatRules.h"

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
    m_rules = ListRepeatRules(transaction);
    DBL::MemResultSet links = transaction.Query("select kind, record_id, series_id, day from repeat_override");
    while (links.Next()) {
      const int kind = links.GetInt("kind");
      m_occurrences[{kind, links.GetInt("record_id")}] = {links.GetInt("series_id"), links.GetInt("day")};
      m_overridden[{kind, links.GetInt("series_id")}].push_back(links.GetInt("day"));
    }
  }

  // The kept text when the record is unchanged, else the fields written over it.
  template <class Record, class Make>
  std::string Text(int kind, const Record& record, Make make) {
    RepeatOut repeat = Repeat(kind, record.id);
    const auto found = m_identities.find({kind, record.id});
    if (found == m_identities.end()) return make(Uid(kind, record.id, repeat), std::string(), RecordFields{}, repeat);
    const RecordIdentity& identity = found->second;
    RecordFields now = FieldsOf(record);
    AddRepeat(now, repeat.rule);
    const bool unchanged = !identity.component.empty() && identity.fields == FieldsText(now);
    // A series and the occurrences taken out of it are written as they came
    // while none of them changed: the series' kept text holds them all.
    // Otherwise the series is written anew and each occurrence on its own.
    if (repeat.recurrenceId) {
      const int series = m_occurrences.at({kind, record.id}).first;
      if (unchanged && Intact(kind, series)) return std::string();
    } else if (unchanged && (repeat.rule.rrule.empty() || Intact(kind, record.id))) {
      return identity.component;
    }
    return make(Uid(kind, record.id, repeat), identity.component, ParseFieldsText(identity.fields), repeat);
  }

  // Notes which records are unchanged since their kept text was written, so
  // that a series knows whether its occurrences on their own are.
  template <class Record>
  void NoteUnchanged(int kind, const std::vector<Record>& records) {
    for (const Record& record : records) {
      const auto found = m_identities.find({kind, record.id});
      RecordFields now = FieldsOf(record);
      AddRepeat(now, Repeat(kind, record.id).rule);
      if (found != m_identities.end() && !found->second.component.empty() && found->second.fields == FieldsText(now)) {
        m_unchanged.insert({kind, record.id});
      }
    }
  }

  // Where each series starts, to give its occurrences their RECURRENCE-ID.
  void SeriesStarts(int kind, std::map<int, double> starts) { m_starts[kind] = std::move(starts); }

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

  // An occurrence changed on its own goes by its series' UID.
  std::string Uid(int kind, int id, const RepeatOut& repeat) const {
    if (repeat.recurrenceId) id = m_occurrences.at({kind, id}).first;
    const auto found = m_identities.find({kind, id});
    return found == m_identities.end() ? UuidFor(kind, id) : found->second.uid;
  }

  // The series and every occurrence taken out of it unchanged, and as many
  // of those as the kept text holds overrides.
  bool Intact(int kind, int series) const {
    if (!m_unchanged.count({kind, series})) return false;
    const std::string& kept = m_identities.at({kind, series}).component;
    size_t held = 0;
    for (size_t at = kept.find("\nRECURRENCE-ID"); at != std::string::npos; at = kept.find("\nRECURRENCE-ID", at + 1)) ++held;
    size_t linked = 0;
    for (const auto& [key, link] : m_occurrences) {
      if (key.first != kind || link.first != series) continue;
      if (!m_unchanged.count(key)) return false;
      ++linked;
    }
    return held == linked;
  }

  RepeatOut Repeat(int kind, int id) const {
    RepeatOut repeat;
    if (const auto rule = m_rules.find({kind, id}); rule != m_rules.end()) repeat.rule = rule->second;
    if (const auto days = m_overridden.find({kind, id}); days != m_overridden.end()) repeat.overridden = days->second;
    if (const auto link = m_occurrences.find({kind, id}); link != m_occurrences.end() && m_starts.count(kind)) {
      const std::map<int, double>& starts = m_starts.at(kind);
      const auto start = starts.find(link->second.first);
      if (start != starts.end()) repeat.recurrenceId = link->second.second + OleDate::TimeOfDay(start->second);
    }
    return repeat;
  }

  std::map<int, std::string> m_names;
  std::map<std::pair<int, int>, RecordIdentity> m_identities;
  std::map<std::pair<int, int>, RepeatRule> m_rules;
  std::map<std::pair<int, int>, std::pair<int, int>> m_occurrences;  // series id and day, by kind and record id
  std::map<std::pair<int, int>, std::vector<int>> m_overridden;      // days, by kind and series id
  std::map<int, std::map<int, double>> m_starts;                      // by kind: series start by record id
  std::set<std::pair<int, int>> m_unchanged;
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
            texts.push_back(writer.Text(1, c, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                                                  const RepeatOut&) {
              return CardForContact(c, writer.Category(c.cat_id), uid, kept, before);
            }));
          }
          return;
        }
        if (kinds.count(0)) {
          const std::vector<TaskRecord> tasks = ListTasks(transaction);
          std::map<int, double> starts;
          for (const TaskRecord& t : tasks) starts[t.id] = TaskDueMoment(t);
          writer.SeriesStarts(0, std::move(starts));
          writer.NoteUnchanged(0, tasks);
          for (const TaskRecord& t : tasks) {
            texts.push_back(writer.Text(0, t, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                                                  const RepeatOut& repeat) {
              return ComponentForTask(t, writer.Category(t.category_id), uid, kept, before, repeat);
            }));
          }
        }
        if (kinds.count(2)) {
          const std::vector<EventRecord> events = ListEvents(transaction);
          std::map<int, double> starts;
          for (const EventRecord& e : events) starts[e.id] = e.event_date + (e.using_time ? e.event_time : 0.0);
          writer.SeriesStarts(2, std::move(starts));
          writer.NoteUnchanged(2, events);
          for (const EventRecord& e : events) {
            texts.push_back(writer.Text(2, e, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                                                  const RepeatOut& repeat) {
              return ComponentForEvent(e, uid, kept, before, repeat);
            }));
          }
        }
        if (kinds.count(3)) {
          for (const NoteRecord& n : ListNotes(transaction)) {
            texts.push_back(writer.Text(3, n, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                                                  const RepeatOut&) {
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
