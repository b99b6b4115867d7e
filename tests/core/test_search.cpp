#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <vector>

#include "RecordsTest.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"
#include "search/SearchIndex.h"
#include "search/TextFold.h"

namespace {

class SearchTest : public RecordsTest {
 protected:
  std::vector<int> FoundIds(const QString& query) {
    SearchIndex index;
    index.Load();
    std::vector<int> ids;
    for (const SearchHit& hit : index.Find(query)) ids.push_back(hit.entry->id);
    return ids;
  }

  static int AddTask(const std::string& name, const std::string& description = "", int category = 1) {
    TaskRecord task;
    task.category_id = category;
    task.priority_id = 2;
    task.name = name;
    task.description = description;
    return InsertTask(task);
  }

  static int AddContact(const std::string& fname, const std::string& lname, const std::string& note = "") {
    ContactRecord contact;
    contact.cat_id = 4;
    contact.fname = fname;
    contact.lname = lname;
    contact.note = note;
    return InsertContact(contact);
  }
};

SearchEntry Entry(int kind, int id, std::initializer_list<QString> fields, int titleFields = 1) {
  SearchEntry entry;
  entry.kind = kind;
  entry.id = id;
  entry.title = *fields.begin();
  entry.fields = QStringList(fields);
  entry.titleFields = titleFields;
  return entry;
}

}  // namespace

TEST(TextFold, DropsCaseAccentsAndTypographicQuotes) {
  EXPECT_EQ(FoldText(u"Seán Ó Súilleabháin").text, u"sean o suilleabhain");
  EXPECT_EQ(FoldText(u"ÇA GÊNE ØRESUND Łódź").text.left(8), u"ca gene ");
  EXPECT_EQ(FoldText(u"O’Brien").text, u"o'brien");
  EXPECT_EQ(FoldText(u"Straße").text, u"strasse");
  EXPECT_EQ(FoldText(u"ﬁle ＡＢＣ").text, u"file abc");
}

TEST(TextFold, MapsFoldedPositionsBackWhenLengthsDiffer) {
  // "e" followed by a combining acute accent is one letter in the folded text.
  const QString decomposed = QStringLiteral("Cafe\u0301 Straße x");
  const FoldedText folded = FoldText(decomposed);
  EXPECT_EQ(folded.text, u"cafe strasse x");
  const int x = static_cast<int>(folded.text.indexOf(u'x'));
  EXPECT_EQ(decomposed[folded.OriginOf(x)], u'x');
  EXPECT_EQ(folded.OriginOf(static_cast<int>(folded.text.size())), decomposed.size());
  // Plain text needs no map at all.
  EXPECT_TRUE(FoldText(u"Plain text").origin.empty());
}

TEST_F(SearchTest, CaseAccentsAndStoredQuotesDoNotMatter) {
  const int sean = AddContact("Seán", "O'Brien");
  const int other = AddContact("Sean", "Murphy");
  // Contacts come in the page's order, by last name.
  EXPECT_EQ(FoundIds("SEAN"), (std::vector<int>{other, sean}));
  EXPECT_EQ(FoundIds("o'brien"), std::vector<int>{sean});
  EXPECT_EQ(FoundIds("O’BRIEN"), std::vector<int>{sean});
  // The stored marker of the apostrophe is never matched as text.
  EXPECT_TRUE(FoundIds("#$%g^").empty());
  EXPECT_TRUE(FoundIds("g^").empty());

  NoteRecord note;
  note.category_id = 7;
  note.subject = "Quote";
  note.content = "He said \"déjà vu\"";
  const int noteId = InsertNote(note);
  EXPECT_EQ(FoundIds("\"deja vu\""), std::vector<int>{noteId});
}

TEST_F(SearchTest, EveryWordMustMatchInSomeFieldOfTheRecord) {
  const int both = AddTask("Call plumber", "about the kitchen sink");
  AddTask("Call mother");
  AddTask("Fix kitchen sink");
  EXPECT_EQ(FoundIds("call kitchen"), std::vector<int>{both});
  EXPECT_EQ(FoundIds("  kitchen   CALL "), std::vector<int>{both});
  EXPECT_TRUE(FoundIds("call garage").empty());
  EXPECT_TRUE(FoundIds("   ").empty());
  // A word spanning two fields is not a match.
  EXPECT_TRUE(FoundIds("plumberabout").empty());
}

TEST_F(SearchTest, EachKindIsSearchedInItsFieldsAndCategory) {
  const int task = AddTask("Invoice", "", 2);  // category "Work"
  ContactRecord contact;
  contact.cat_id = 6;  // "Work"
  contact.fname = "Ann";
  contact.address = "12 Harbour Street";
  contact.email = "ann@example.org";
  contact.phone = "555 0199";
  contact.disp_info = "Accountant";
  const int contactId = InsertContact(contact);
  EventRecord event;
  event.event_date = 46000;
  event.title = "Harbour festival";
  event.note = "bring 0199 tickets";
  const int eventId = InsertEvent(event);
  NoteRecord note;
  note.category_id = 8;  // "Ideas"
  note.subject = "Garden";
  note.content = "a harbour-view bench";
  const int noteId = InsertNote(note);

  EXPECT_EQ(FoundIds("harbour"), (std::vector<int>{contactId, eventId, noteId}));
  EXPECT_EQ(FoundIds("0199"), (std::vector<int>{contactId, eventId}));
  EXPECT_EQ(FoundIds("work"), (std::vector<int>{task, contactId}));
  EXPECT_EQ(FoundIds("ideas"), std::vector<int>{noteId});
  EXPECT_EQ(FoundIds("accountant example.org"), std::vector<int>{contactId});
}

TEST_F(SearchTest, GroupedByKindWithTitleMatchesFirst) {
  const int inBody = AddTask("Groceries", "milk and bread");
  const int inTitle = AddTask("Bread maker");
  const int contact = AddContact("Bread", "Baker");
  SearchIndex index;
  index.Load();
  const std::vector<SearchHit> hits = index.Find("bread");
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[0].entry->id, inTitle);
  EXPECT_EQ(hits[1].entry->id, inBody);
  EXPECT_EQ(hits[2].entry->id, contact);
  EXPECT_EQ(hits[2].entry->kind, kSearchContacts);
  const SearchSnippet snippet = SearchIndex::Snippet(hits[1]);
  EXPECT_EQ(snippet.text, "milk and bread");
  EXPECT_EQ(snippet.text.mid(snippet.markStart, snippet.markLength), "bread");
}

TEST(SearchSnippet, LongTextIsCutAroundTheMatchOnOneLine) {
  SearchIndex index;
  QString body = QString(5000, QLatin1Char('a')) + QStringLiteral("\nNeedle\u0301\n") + QString(5000, QLatin1Char('b'));
  index.Add(Entry(kSearchNotes, 1, {QStringLiteral("Long"), body}));
  const std::vector<SearchHit> hits = index.Find("NEEDLE");
  ASSERT_EQ(hits.size(), 1u);
  const SearchSnippet snippet = SearchIndex::Snippet(hits[0], 60);
  EXPECT_LE(snippet.text.size(), 62);
  EXPECT_TRUE(snippet.text.startsWith(QChar(0x2026)));
  EXPECT_TRUE(snippet.text.endsWith(QChar(0x2026)));
  EXPECT_FALSE(snippet.text.contains(QLatin1Char('\n')));
  // The accent written after the last letter belongs to the match.
  EXPECT_EQ(snippet.text.mid(snippet.markStart, snippet.markLength), QStringLiteral("Needle\u0301"));
}

TEST(SearchSnippet, MatchAtTheEndsOfShortAndLongTexts) {
  SearchIndex index;
  index.Add(Entry(kSearchNotes, 1, {QStringLiteral("x"), QString(300, QLatin1Char('z')) + QStringLiteral("Tail")}));
  index.Add(Entry(kSearchNotes, 2, {QStringLiteral("Tail")}));
  const std::vector<SearchHit> hits = index.Find("tail");
  ASSERT_EQ(hits.size(), 2u);
  for (const SearchHit& hit : hits) {
    const SearchSnippet snippet = SearchIndex::Snippet(hit, 40);
    EXPECT_EQ(snippet.text.mid(snippet.markStart, snippet.markLength), "Tail") << snippet.text.toStdString();
    EXPECT_LE(snippet.text.size(), 41);
  }
}
