#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "db/OleDate.h"
#include "records/Notes.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

class NoteTest : public RecordsTest {
 protected:
  static int Add(const std::string& subject, int category = 7) {
    NoteRecord note;
    note.subject = subject;
    note.category_id = category;
    return InsertNote(note);
  }

  static std::vector<std::string> Subjects(int noteSort) {
    GetApp().GetSettings().SetNoteSort(noteSort);
    std::vector<std::string> subjects;
    for (const NoteRecord& note : ListNotes()) subjects.push_back(note.subject);
    return subjects;
  }
};

}  // namespace

TEST_F(NoteTest, QuotesRoundTripAndSavingStampsTheTime) {
  NoteRecord note{-1, "Bob's list", "\"milk\"\n'eggs'", 123, "", 8};
  const double before = OleDate::Now();
  note.id = InsertNote(note);
  const double after = OleDate::Now();
  ASSERT_GT(note.id, 0);
  EXPECT_EQ(Stored("select subject from note"), "Bob#$%g^s list");
  NoteRecord loaded = LoadNote(note.id);
  EXPECT_GE(loaded.last_updated, before - kSecond / 10);
  EXPECT_LE(loaded.last_updated, after + kSecond / 10);
  note.last_updated = loaded.last_updated;
  note.catname = "Ideas";
  EXPECT_EQ(loaded, note);

  note.subject = "it's changed";
  note.category_id = 7;
  note.catname = "General";
  ASSERT_EQ(UpdateNote(note), 0);
  loaded = LoadNote(note.id);
  note.last_updated = loaded.last_updated;
  EXPECT_EQ(loaded, note);
  EXPECT_EQ(ListNotes(), std::vector<NoteRecord>{note});

  ASSERT_EQ(DeleteNote(note.id), 0);
  EXPECT_EQ(LoadNote(note.id), NoteRecord{});
}

TEST_F(NoteTest, SavingUnchangedMovesTheNoteToTheTop) {
  const int older = Add("older");
  ASSERT_GT(Add("newer"), 0);
  Exec("update note set last_updated = 1000 where id = " + std::to_string(older));
  EXPECT_EQ(Subjects(1), (std::vector<std::string>{"newer", "older"}));
  ASSERT_EQ(UpdateNote(LoadNote(older)), 0);
  EXPECT_EQ(Subjects(1), (std::vector<std::string>{"older", "newer"}));
}

TEST_F(NoteTest, NoteWhoseCategoryIsGoneCanNeitherBeListedNorLoaded) {
  ASSERT_GT(Add("kept"), 0);
  const int orphan = Add("orphan", 99);
  ASSERT_GT(orphan, 0);
  EXPECT_EQ(Subjects(0), std::vector<std::string>{"kept"});
  EXPECT_EQ(LoadNote(orphan).id, -1);
}
