#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "interop/CalendarMapping.h"
#include "interop/RecordFields.h"
#include "records/RecordIdentity.h"

namespace DBL {
class Transaction;
}

namespace Interop {

// The text each record is written out as, by export and by sync, from what
// one transaction reads: a record unchanged since its kept text was written
// or read is that text; a changed one has its fields written over it. A
// series and the occurrences taken out of it are written as they came while
// none of them changed (the series' kept text holds them all, and theirs is
// ""); otherwise the series is written anew and each occurrence on its own,
// with the series' UID and its RECURRENCE-ID.
class RecordTexts {
 public:
  // `kinds` narrows the identities read to those kinds (all when empty): a
  // sync of one collection needs only its own.
  explicit RecordTexts(DBL::Transaction& transaction, const std::set<int>& kinds = {});

  // Before the texts of tasks or events: which are unchanged, and where each
  // series starts. Text is then asked for these same records.
  void Prepare(const std::vector<TaskRecord>& tasks);
  void Prepare(const std::vector<EventRecord>& events);

  std::string Text(const TaskRecord& task);
  std::string Text(const ContactRecord& contact);
  std::string Text(const EventRecord& event);
  std::string Text(const NoteRecord& note);

  // The record's identity; nullptr for one that has none yet.
  const RecordIdentity* Identity(int kind, int id) const;
  // The series a record was taken out of, when it is such an occurrence.
  std::optional<int> SeriesOf(int kind, int id) const;
  // The record's rule (rrule "" when it does not repeat).
  RepeatRule Rule(int kind, int id) const;

 private:
  template <class Record, class Make>
  std::string Text(int kind, const Record& record, Make make);
  // Whether the record's fields are those its kept text was written with;
  // Text takes it from Prepare for the records Prepare saw.
  template <class Record>
  void NoteUnchanged(int kind, const std::vector<Record>& records);
  template <class Record>
  static bool Unchanged(const RecordIdentity& identity, const Record& record, const RepeatRule& rule);
  std::string Category(int id) const;
  std::string Uid(int kind, int id, const RepeatOut& repeat) const;
  bool Intact(int kind, int series) const;
  RepeatOut Repeat(int kind, int id) const;

  std::map<int, std::string> m_names;
  std::map<std::pair<int, int>, RecordIdentity> m_identities;
  std::map<std::pair<int, int>, RepeatRule> m_rules;
  std::map<std::pair<int, int>, std::pair<int, int>> m_occurrences;  // series id and day, by kind and record id
  std::map<std::pair<int, int>, std::vector<int>> m_overridden;      // days, by kind and series id
  std::map<int, std::map<int, double>> m_starts;                      // by kind: series start by record id
  std::set<std::pair<int, int>> m_unchanged;
};

}  // namespace Interop
