#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "search/TextFold.h"

// Kinds of record the search finds, in the order their results are listed.
enum SearchKind { kSearchTasks = 0, kSearchContacts = 1, kSearchEvents = 2, kSearchNotes = 3 };

// A record as the search sees it: the fields that make its title come first.
struct SearchEntry {
  int kind = kSearchTasks;
  int id = -1;
  QString title;  // what a result row calls the record
  QStringList fields;  // as shown
  int titleFields = 1;
  // The folded fields in UTF-8, joined by a separator no query holds, for one
  // fast scan per word; most of it is plain ASCII by then.
  std::string joined;
  std::vector<size_t> fieldStarts;  // where each field begins in `joined`
};

struct SearchHit {
  const SearchEntry* entry = nullptr;
  int field = 0;           // the field shown as the matched part
  size_t matchStart = 0;   // the match within that field's part of `joined`, in bytes
  size_t matchLength = 0;
  int bodyWords = 0;      // words of the query found outside the title
};

// The part of a field around a match, on one line, with the match's place in it.
struct SearchSnippet {
  QString text;
  int markStart = 0;
  int markLength = 0;
};

// Every record of the four kinds, read once and folded once, so that each key
// typed into the search only scans memory. A record matches when every word
// of the query is found in one of its fields; results come grouped by kind,
// records matched by their title alone before those matched in their body.
class SearchIndex {
 public:
  // Reads every task, contact, event and note from the data store.
  void Load();
  void Add(SearchEntry entry);  // fills the folded and joined forms
  size_t Size() const { return m_entries.size(); }

  std::vector<SearchHit> Find(const QString& query) const;

  // At most `width` characters around the hit's match, with "…" where cut.
  static SearchSnippet Snippet(const SearchHit& hit, int width = 80);
  // "Task", "Contact", "Event", "Note".
  static QString KindName(int kind);

 private:
  std::vector<SearchEntry> m_entries;
};

// The words of a query, folded, in UTF-8; blanks separate them.
std::vector<std::string> FoldedQueryWords(const QString& query);
