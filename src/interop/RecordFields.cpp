#include "interop/RecordFields.h"

#include <cmath>

#include "db/DBL.h"
#include "db/OleDate.h"

namespace Interop {

namespace {

// Separators no mapped text holds: the readers drop control characters.
constexpr char kFieldEnd = '\x1e';
constexpr char kNameEnd = '\x1f';

std::string Day(double ole) { return std::to_string(OleDate::DayNumber(ole)); }
std::string Minute(double fraction) { return std::to_string(std::lround(fraction * 24 * 60)); }
// As the store keeps a text: without NUL, which a statement cannot hold.
std::string Text(const std::string& text) { return DBL::DecodeText(DBL::EncodeText(text)); }

}  // namespace

RecordFields FieldsOf(const TaskRecord& t) {
  const bool due = t.deadline != 0;
  return {{"category", std::to_string(t.category_id)},
          {"priority", std::to_string(t.priority_id)},
          {"name", Text(t.name)},
          {"description", Text(t.description)},
          {"completed", t.completed ? "1" : "0"},
          {"due", due ? Day(t.due_date) : ""},
          {"due_time", due && t.deadline_time ? Minute(t.due_time) : ""},
          {"warning", due ? std::to_string(std::max(t.warning, 0)) : "0"}};
}

RecordFields FieldsOf(const EventRecord& e) {
  return {{"date", Day(e.event_date)},
          {"time", e.using_time ? Minute(e.event_time) : ""},
          {"title", Text(e.title)},
          {"note", Text(e.note)},
          {"warning", std::to_string(e.warning)}};
}

RecordFields FieldsOf(const NoteRecord& n) {
  return {{"category", std::to_string(n.category_id)}, {"subject", Text(n.subject)}, {"content", Text(n.content)}};
}

RecordFields FieldsOf(const ContactRecord& c) {
  return {{"category", std::to_string(c.cat_id)}, {"fname", Text(c.fname)},     {"mname", Text(c.mname)},
          {"lname", Text(c.lname)},               {"disp_info", Text(c.disp_info)}, {"address", Text(c.address)},
          {"email", Text(c.email)},               {"phone", Text(c.phone)},     {"note", Text(c.note)}};
}

void AddRepeat(RecordFields& fields, const RepeatRule& rule) {
  if (rule.rrule.empty()) return;
  std::string text = rule.rrule + ";EXDATE=";
  for (int day : rule.excludedDays) text += std::to_string(day) + ",";
  text += ";RDATE=";
  for (int day : rule.addedDays) text += std::to_string(day) + ",";
  fields["repeat"] = text;
}

std::string FieldsText(const RecordFields& fields) {
  std::string text;
  for (const auto& [name, value] : fields) {
    text += name;
    text += kNameEnd;
    text += value;
    text += kFieldEnd;
  }
  return text;
}

RecordFields ParseFieldsText(const std::string& text) {
  RecordFields fields;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t nameEnd = text.find(kNameEnd, pos);
    const size_t end = text.find(kFieldEnd, pos);
    if (nameEnd == std::string::npos || end == std::string::npos || nameEnd > end) return {};
    fields[text.substr(pos, nameEnd - pos)] = text.substr(nameEnd + 1, end - nameEnd - 1);
    pos = end + 1;
  }
  return fields;
}

bool FieldChanged(const RecordFields& before, const RecordFields& now, const std::string& field) {
  const auto old = before.find(field);
  const auto current = now.find(field);
  if (old == before.end()) return true;
  return current == now.end() || old->second != current->second;
}

}  // namespace Interop
