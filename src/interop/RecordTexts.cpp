#include "interop/RecordTexts.h"

#include <ctime>

#include "db/OleDate.h"
#include "db/Transaction.h"
#include "interop/ContactMapping.h"
#include "records/Categories.h"
#include "recurrence/RepeatRules.h"

namespace Interop {

namespace {

// A record that got no UID (the file could not be written when it opened):
// one from its kind and id.
std::string UuidFor(int kind, int id) { return "orvale-" + std::to_string(kind) + "-" + std::to_string(id); }

}  // namespace

RecordTexts::RecordTexts(DBL::Transaction& transaction, const std::set<int>& kinds) {
  tzset();  // local times are made UTC by the zone as it is now
  for (int kind : {0, 1, 3}) {
    for (const CategoryRecord& category : ListCategories(kind, transaction)) m_names[category.id] = category.name;
  }
  for (RecordIdentity& identity : ListIdentities(transaction, kinds)) {
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

void RecordTexts::Prepare(const std::vector<TaskRecord>& tasks) {
  std::map<int, double> starts;
  for (const TaskRecord& t : tasks) starts[t.id] = TaskDueMoment(t);
  m_starts[0] = std::move(starts);
  NoteUnchanged(0, tasks);
}

void RecordTexts::Prepare(const std::vector<EventRecord>& events) {
  std::map<int, double> starts;
  for (const EventRecord& e : events) starts[e.id] = e.event_date + (e.using_time ? e.event_time : 0.0);
  m_starts[2] = std::move(starts);
  NoteUnchanged(2, events);
}

std::string RecordTexts::Text(const TaskRecord& task) {
  return Text(0, task, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                           const RepeatOut& repeat) {
    return ComponentForTask(task, Category(task.category_id), uid, kept, before, repeat);
  });
}

std::string RecordTexts::Text(const ContactRecord& contact) {
  return Text(1, contact, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                              const RepeatOut&) {
    return CardForContact(contact, Category(contact.cat_id), uid, kept, before);
  });
}

std::string RecordTexts::Text(const EventRecord& event) {
  return Text(2, event, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                            const RepeatOut& repeat) { return ComponentForEvent(event, uid, kept, before, repeat); });
}

std::string RecordTexts::Text(const NoteRecord& note) {
  return Text(3, note, [&](const std::string& uid, const std::string& kept, const RecordFields& before,
                           const RepeatOut&) {
    return ComponentForNote(note, Category(note.category_id), uid, kept, before);
  });
}

const RecordIdentity* RecordTexts::Identity(int kind, int id) const {
  const auto found = m_identities.find({kind, id});
  return found == m_identities.end() ? nullptr : &found->second;
}

std::optional<int> RecordTexts::SeriesOf(int kind, int id) const {
  const auto link = m_occurrences.find({kind, id});
  if (link == m_occurrences.end()) return std::nullopt;
  return link->second.first;
}

template <class Record>
const std::string& RecordTexts::Fields(int kind, const Record& record) {
  const auto [found, made] = m_fields.try_emplace({kind, record.id});
  if (made) {
    RecordFields fields = FieldsOf(record);
    if (const auto rule = m_rules.find({kind, record.id}); rule != m_rules.end()) AddRepeat(fields, rule->second);
    found->second = FieldsText(fields);
  }
  return found->second;
}

template const std::string& RecordTexts::Fields(int, const TaskRecord&);
template const std::string& RecordTexts::Fields(int, const ContactRecord&);
template const std::string& RecordTexts::Fields(int, const EventRecord&);
template const std::string& RecordTexts::Fields(int, const NoteRecord&);

template <class Record, class Make>
std::string RecordTexts::Text(int kind, const Record& record, Make make) {
  RepeatOut repeat = Repeat(kind, record.id);
  const auto found = m_identities.find({kind, record.id});
  if (found == m_identities.end()) return make(Uid(kind, record.id, repeat), std::string(), RecordFields{}, repeat);
  const RecordIdentity& identity = found->second;
  const bool unchanged = !identity.component.empty() && identity.fields == Fields(kind, record);
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
void RecordTexts::NoteUnchanged(int kind, const std::vector<Record>& records) {
  for (const Record& record : records) {
    const auto found = m_identities.find({kind, record.id});
    if (found != m_identities.end() && !found->second.component.empty() &&
        found->second.fields == Fields(kind, record)) {
      m_unchanged.insert({kind, record.id});
    }
  }
}

std::string RecordTexts::Category(int id) const {
  const auto found = m_names.find(id);
  return found == m_names.end() ? std::string() : found->second;
}

// An occurrence changed on its own goes by its series' UID.
std::string RecordTexts::Uid(int kind, int id, const RepeatOut& repeat) const {
  if (repeat.recurrenceId) id = m_occurrences.at({kind, id}).first;
  const auto found = m_identities.find({kind, id});
  return found == m_identities.end() ? UuidFor(kind, id) : found->second.uid;
}

// The series and every occurrence taken out of it unchanged, and as many
// of those as the kept text holds overrides.
bool RecordTexts::Intact(int kind, int series) const {
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

RepeatOut RecordTexts::Repeat(int kind, int id) const {
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

}  // namespace Interop
