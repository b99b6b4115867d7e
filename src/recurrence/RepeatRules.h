#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "db/MemResultSet.h"
#include "db/Transaction.h"
#include "recurrence/RepeatRule.h"

// The store of repeat rules (table repeat_rule, see db/repeat.sql). Kinds are
// numbered as category.type_id: 0 task, 2 event.

// The record's rule; rrule "" when the record does not repeat.
RepeatRule LoadRepeatRule(int kind, int id);
// Every rule of a kind of record, by record id, in one read (for lists of many records).
std::unordered_map<int, RepeatRule> LoadRepeatRules(int kind);
// 0 on success, else SQLite's code or -1; a rule with rrule "" removes the
// record's rule. The record's earlier occurrences do not remind again.
int SaveRepeatRule(int kind, int id, const RepeatRule& rule);
// "" when the rule is usable for a record whose first occurrence is at
// `firstMoment` (OLE date), else one sentence for the editor saying why not.
std::string CheckRepeatRule(const std::string& rrule, double firstMoment);

// For bulk work in one transaction (import, undo): the statements that store
// and remove a rule.
std::string SaveRepeatRuleSql(int kind, int id, const RepeatRule& rule, double reminded);
std::string RemoveRepeatRuleSql(int kind, int id);
// Changes a stored rule; what has reminded stays.
std::string UpdateRepeatRuleSql(int kind, int id, const RepeatRule& rule);
// Links a record made of one occurrence to the series it was taken out of.
std::string LinkOccurrenceSql(int kind, int id, int seriesId, int day);
// Every stored rule by kind and record id, on the transaction's connection.
std::map<std::pair<int, int>, RepeatRule> ListRepeatRules(DBL::Transaction& transaction);
// The rule of a query row with the columns rrule, excluded and added.
RepeatRule ReadRepeatRule(const DBL::MemResultSet& row);
