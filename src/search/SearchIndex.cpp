#include "search/SearchIndex.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

#include "db/OleDate.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"

namespace {

// Between fields in SearchEntry::joined; queries lose control characters.
constexpr char kFieldSeparator = '\x1F';

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

std::map<int, QString> CategoryNames(int kind) {
  std::map<int, QString> names;
  for (const CategoryRecord& category : ListCategories(kind)) names[category.id] = Text(category.name);
  return names;
}

QString ContactTitle(const ContactRecord& contact) {
  QStringList parts;
  for (const std::string* part : {&contact.fname, &contact.mname, &contact.lname}) {
    if (!part->empty()) parts << Text(*part);
  }
  return parts.join(QLatin1Char(' '));
}

SearchEntry MakeEntry(int kind, int id, QString title, std::initializer_list<QString> fields, int titleFields) {
  SearchEntry entry;
  entry.kind = kind;
  entry.id = id;
  entry.title = std::move(title);
  entry.fields = QStringList(fields);
  entry.titleFields = titleFields;
  return entry;
}

}  // namespace

std::vector<std::string> FoldedQueryWords(const QString& query) {
  std::vector<std::string> words;
  for (const QString& word : query.split(QRegularExpression(QStringLiteral("[\\s\\p{Cc}]+")), Qt::SkipEmptyParts)) {
    words.emplace_back();
    AppendFolded(word, words.back());
  }
  return words;
}

void SearchIndex::Load() {
  m_entries.clear();
  const std::map<int, QString> taskCategories = CategoryNames(kCategoryTasks);
  for (const TaskRecord& task : ListTasks()) {
    const auto category = taskCategories.find(task.category_id);
    Add(MakeEntry(kSearchTasks, task.id, Text(task.name),
                  {Text(task.name), Text(task.description),
                   category == taskCategories.end() ? QString() : category->second},
                  1));
  }
  for (const ContactRecord& c : ListContacts()) {
    Add(MakeEntry(kSearchContacts, c.id, ContactTitle(c),
                  {Text(c.fname), Text(c.mname), Text(c.lname), Text(c.disp_info), Text(c.address), Text(c.email),
                   Text(c.phone), Text(c.note), Text(c.catname)},
                  3));
  }
  for (const EventRecord& event : ListEvents(-1)) {
    QString title = Text(event.title) + QStringLiteral(" (") + Text(OleDate::ShortDateText(event.event_date)) +
                    QLatin1Char(')');
    Add(MakeEntry(kSearchEvents, event.id, std::move(title), {Text(event.title), Text(event.note)}, 1));
  }
  for (const NoteRecord& note : ListNotes()) {
    Add(MakeEntry(kSearchNotes, note.id, Text(note.subject), {Text(note.subject), Text(note.content), Text(note.catname)},
                  1));
  }
}

void SearchIndex::Add(SearchEntry entry) {
  entry.joined.clear();
  entry.fieldStarts.clear();
  for (const QString& field : entry.fields) {
    if (!entry.fieldStarts.empty()) entry.joined += kFieldSeparator;
    entry.fieldStarts.push_back(entry.joined.size());
    AppendFolded(field, entry.joined);
  }
  m_entries.push_back(std::move(entry));
}

std::vector<SearchHit> SearchIndex::Find(const QString& query) const {
  const std::vector<std::string> words = FoldedQueryWords(query);
  std::vector<SearchHit> hits;
  if (words.empty()) return hits;
  for (const SearchEntry& entry : m_entries) {
    const std::string_view joined(entry.joined);
    const size_t titleEnd = static_cast<size_t>(entry.titleFields) < entry.fieldStarts.size()
                                ? entry.fieldStarts[static_cast<size_t>(entry.titleFields)]
                                : joined.size() + 1;
    SearchHit hit;
    hit.entry = &entry;
    size_t shownAt = std::string_view::npos;
    bool all = true;
    for (const std::string& word : words) {
      // The first occurrence: in the title whenever the title holds the word.
      const size_t at = joined.find(word);
      if (at == std::string_view::npos) {
        all = false;
        break;
      }
      if (at >= titleEnd) ++hit.bodyWords;
      // The part shown is the first word's, or the first title match.
      if (shownAt == std::string_view::npos || (shownAt >= titleEnd && at < titleEnd)) {
        shownAt = at;
        hit.matchLength = word.size();
      }
    }
    if (!all) continue;
    const auto field = std::upper_bound(entry.fieldStarts.begin(), entry.fieldStarts.end(), shownAt) - 1;
    hit.field = static_cast<int>(field - entry.fieldStarts.begin());
    hit.matchStart = shownAt - *field;
    hits.push_back(hit);
  }
  // Grouped by kind, title matches first; otherwise in the order of the pages.
  std::stable_sort(hits.begin(), hits.end(), [](const SearchHit& a, const SearchHit& b) {
    if (a.entry->kind != b.entry->kind) return a.entry->kind < b.entry->kind;
    return (a.bodyWords > 0) < (b.bodyWords > 0);
  });
  return hits;
}

SearchSnippet SearchIndex::Snippet(const SearchHit& hit, int width) {
  const QString& text = hit.entry->fields[hit.field];
  // The match in UTF-16 units of the folded field, then in the field as shown.
  const char* folded = hit.entry->joined.data() + hit.entry->fieldStarts[static_cast<size_t>(hit.field)];
  const int foldedStart = static_cast<int>(QString::fromUtf8(folded, static_cast<qsizetype>(hit.matchStart)).size());
  const int foldedLength =
      static_cast<int>(QString::fromUtf8(folded + hit.matchStart, static_cast<qsizetype>(hit.matchLength)).size());
  const FoldedText map = FoldText(text);
  const int start = map.OriginOf(foldedStart);
  const int end = std::max(start, map.OriginOf(foldedStart + foldedLength));
  const int size = static_cast<int>(text.size());
  // Some context before the match, the rest after it.
  int from = std::max(0, start - std::max(0, (width - (end - start)) / 3));
  int to = std::min(size, std::max(end, from + width));
  from = std::max(0, std::min(from, to - width));
  SearchSnippet snippet;
  if (from > 0) snippet.text += QChar(0x2026);
  snippet.markStart = static_cast<int>(snippet.text.size()) + (start - from);
  snippet.markLength = end - start;
  QString part = text.mid(from, to - from);
  for (QChar& unit : part) {
    if (unit == QLatin1Char('\n') || unit == QLatin1Char('\r') || unit == QLatin1Char('\t')) unit = QLatin1Char(' ');
  }
  snippet.text += part;
  if (to < size) snippet.text += QChar(0x2026);
  return snippet;
}

QString SearchIndex::KindName(int kind) {
  static const char* const kNames[] = {"Task", "Contact", "Event", "Note"};
  return QString::fromLatin1(kNames[kind]);
}
