#include "recurrence/RepeatRules.h"

#include <cstdlib>

#include "db/DBL.h"
#include "db/OleDate.h"
#include "recurrence/RepeatSeries.h"

namespace {

std::string DaysText(const std::vector<int>& days) {
  std::string text;
  for (int day : days) text += (text.empty() ? "" : " ") + std::to_string(day);
  return text;
}

std::vector<int> ReadDays(const std::string& text) {
  std::vector<int> days;
  const char* at = text.c_str();
  for (char* end = nullptr;; at = end) {
    const long day = std::strtol(at, &end, 10);
    if (end == at) break;
    days.push_back(static_cast<int>(day));
  }
  return days;
}

std::string Key(int kind, int id) {
  return " where kind = " + DBL::IntToString(kind) + " and record_id = " + DBL::IntToString(id);
}

}  // namespace

RepeatRule ReadRepeatRule(const DBL::MemResultSet& row) {
  return RepeatRule{row.GetString("rrule"), ReadDays(row.GetString("excluded")), ReadDays(row.GetString("added"))};
}

std::string LinkOccurrenceSql(int kind, int id, int seriesId, int day) {
  return "insert or replace into repeat_override (kind, record_id, series_id, day) values (" + DBL::IntToString(kind) +
         ", " + DBL::IntToString(id) + ", " + DBL::IntToString(seriesId) + ", " + DBL::IntToString(day) + ")";
}

std::map<std::pair<int, int>, RepeatRule> ListRepeatRules(DBL::Transaction& transaction) {
  std::map<std::pair<int, int>, RepeatRule> rules;
  DBL::MemResultSet rows = transaction.Query("select kind, record_id, rrule, excluded, added from repeat_rule");
  while (rows.Next()) rules[{rows.GetInt("kind"), rows.GetInt("record_id")}] = ReadRepeatRule(rows);
  return rules;
}

RepeatRule LoadRepeatRule(int kind, int id) {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select rrule, excluded, added from repeat_rule" + Key(kind, id));
  return rows.Next() ? ReadRepeatRule(rows) : RepeatRule{};
}

std::unordered_map<int, RepeatRule> LoadRepeatRules(int kind) {
  std::unordered_map<int, RepeatRule> rules;
  DBL::MemResultSet rows =
      DBL::ExecuteQuery("select record_id, rrule, excluded, added from repeat_rule where kind = " + DBL::IntToString(kind));
  while (rows.Next()) rules.emplace(rows.GetInt("record_id"), ReadRepeatRule(rows));
  return rules;
}

std::string SaveRepeatRuleSql(int kind, int id, const RepeatRule& rule, double reminded) {
  return "insert or replace into repeat_rule (kind, record_id, rrule, excluded, added, reminded) values (" +
         DBL::IntToString(kind) + ", " + DBL::IntToString(id) + ", '" + DBL::EncodeText(rule.rrule) + "', '" +
         DaysText(rule.excludedDays) + "', '" + DaysText(rule.addedDays) + "', " + DBL::RealToString(reminded) + ")";
}

std::string RemoveRepeatRuleSql(int kind, int id) { return "delete from repeat_rule" + Key(kind, id); }

std::string UpdateRepeatRuleSql(int kind, int id, const RepeatRule& rule) {
  return "update repeat_rule set rrule = '" + DBL::EncodeText(rule.rrule) + "', excluded = '" +
         DaysText(rule.excludedDays) + "', added = '" + DaysText(rule.addedDays) + "'" + Key(kind, id);
}

int SaveRepeatRule(int kind, int id, const RepeatRule& rule) {
  if (rule.rrule.empty()) {
    const int rc = DBL::ExecuteDelete(RemoveRepeatRuleSql(kind, id));
    return rc == 12 ? 0 : rc;  // a record that did not repeat is as asked
  }
  const int rc = DBL::ExecuteUpdate(UpdateRepeatRuleSql(kind, id, rule));
  if (rc != 12) return rc;
  // A new rule: occurrences before now are not reminded of afterwards, so a
  // birthday typed in today does not bring up last year's as missed.
  return DBL::ExecuteInsert(SaveRepeatRuleSql(kind, id, rule, OleDate::Now())) > 0 ? 0 : -1;
}

std::string CheckRepeatRule(const std::string& rrule, double firstMoment) {
  const RepeatSeries series(RepeatRule{rrule, {}, {}}, firstMoment);
  if (!series.Problem().empty()) return series.Problem();
  if (!series.HasOccurrence()) return "The repeat rule gives no occurrence.";
  return "";
}
