#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "EditorTest.h"
#include "db/DBL.h"
#include "db/OleDate.h"
#include "editors/DlgAddEditNote.h"
#include "editors/DlgMngCategories.h"
#include "records/Categories.h"
#include "records/Notes.h"
#include "ui/CAutoCombo.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

using Editor = DlgAddEditNote;

QLineEdit* Subject(Editor& e) { return qobject_cast<QLineEdit*>(e.GetDlgItem(Editor::kIdSubject)); }
CMyRichEditCtrl* Content(Editor& e) { return qobject_cast<CMyRichEditCtrl*>(e.GetDlgItem(Editor::kIdContent)); }
CAutoCombo* Category(Editor& e) { return qobject_cast<CAutoCombo*>(e.GetDlgItem(Editor::kIdCategory)); }

int LastNoteId() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select max(id) as id from note");
  return rows.Next() ? rows.GetInt("id") : -1;
}

std::string StoredSubject(int id) {
  // The column as written, before the read-back turns markers into quotes.
  DBL::MemResultSet rows = DBL::ExecuteQuery("select hex(subject) as h from note where id = " + DBL::IntToString(id));
  if (!rows.Next()) return "<none>";
  return QByteArray::fromHex(QByteArray::fromStdString(rows.GetString("h"))).toStdString();
}

QString Repeat(const QString& piece, int times) {
  QString text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

class NoteEditorTest : public EditorTest {
 protected:
  static void Save(Editor& e) { Click(e.GetDlgItem(DlgBase::kIdOk)); }

  static int AddThroughEditor(std::function<void(Editor&)> act) {
    Editor editor(true, -1);
    const int result = RunModal<Editor>(editor, [&](Editor& e) {
      act(e);
      Save(e);
    });
    EXPECT_EQ(result, DlgBase::kIdOk);
    return LastNoteId();
  }
};

}  // namespace

TEST_F(NoteEditorTest, TheSubjectHoldsAHundredCharactersTypedOrPasted) {
  const QString hundred = Repeat(QString::fromUtf8("日本語の件名"), 16) + QString::fromUtf8("ñé🙂x");  // 96 + 4
  const int id = AddThroughEditor([&](Editor& e) {
    EXPECT_EQ(e.windowTitle(), "Add New Note");
    QApplication::clipboard()->setText(hundred + QString::fromUtf8("and more beyond the limit"));
    Subject(e)->paste();
    EXPECT_EQ(Subject(e)->text(), hundred);
    QTest::keyClicks(Subject(e), "z");
    EXPECT_EQ(Subject(e)->text(), hundred) << "the 101st character cannot be typed";
  });
  EXPECT_EQ(QString::fromStdString(LoadNote(id).subject), hundred) << "all hundred stored, whatever their bytes";

  const int ascii = AddThroughEditor([](Editor& e) { QTest::keyClicks(Subject(e), Repeat("s", 120)); });
  EXPECT_EQ(LoadNote(ascii).subject, std::string(100, 's'));
}

TEST_F(NoteEditorTest, SavingAnUnchangedNoteStillStampsIt) {
  const int id = AddThroughEditor([](Editor& e) { Subject(e)->setText("Holiday ideas"); });
  ASSERT_EQ(DBL::ExecuteUpdate("update note set last_updated = 40000.5 where id = " + DBL::IntToString(id)), 0);
  Editor editor(false, id);
  ASSERT_EQ(RunModal<Editor>(editor,
                             [](Editor& e) {
                               EXPECT_EQ(e.windowTitle(), "Edit Note");
                               EXPECT_EQ(Subject(e)->text(), "Holiday ideas");
                               Save(e);
                             }),
            DlgBase::kIdOk);
  EXPECT_NEAR(LoadNote(id).last_updated, OleDate::Now(), 2.0 / 86400);
}

TEST_F(NoteEditorTest, AMegabyteOfTextWithEveryKindOfLineComesBackExactly) {
  QString text;
  const QString lines[] = {QString::fromUtf8("plain line, 'quoted' and \"double\"\r\n"),
                           QString::fromUtf8("emoji 🎉 and CJK 漢字 and RTL مرحبا בעולם\r\n"), QStringLiteral("\r\n")};
  for (int i = 0; text.size() < 1024 * 1024; ++i) text += lines[i % 3];
  const int id = AddThroughEditor([&](Editor& e) {
    Subject(e)->setText("big");
    QApplication::clipboard()->setText(text);
    Content(e)->paste();
  });
  EXPECT_EQ(QString::fromStdString(LoadNote(id).content), text);
  Editor editor(false, id);
  RunModal<Editor>(editor, [&](Editor& e) {
    EXPECT_EQ(Content(e)->StoredText(), text);
    Save(e);
  });
  EXPECT_EQ(QString::fromStdString(LoadNote(id).content), text);
}

// The stored encoding is kept for the files people already have: a marker
// typed as text is stored as typed and reads back as the quote it stands for.
TEST_F(NoteEditorTest, TypedMarkersAreStoredAsTypedAndReadBackAsQuotes) {
  const int id = AddThroughEditor([](Editor& e) { Subject(e)->setText("a #$%g^ b *(!G^%^ c"); });
  EXPECT_EQ(StoredSubject(id), "a #$%g^ b *(!G^%^ c");
  EXPECT_EQ(LoadNote(id).subject, "a ' b \" c");
}

TEST_F(NoteEditorTest, AnEmptySubjectIsRefusedButAnEmptyTextIsNot) {
  const int id = AddThroughEditor([&](Editor& e) {
    Content(e)->setPlainText("text without a subject");
    Save(e);
    EXPECT_TRUE(e.isVisible());
    Subject(e)->setText("s");
    Content(e)->clear();
  });
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("Please enter a Note subject."), int(kMessageNotice)));
  EXPECT_EQ(LoadNote(id).content, "");
}

TEST_F(NoteEditorTest, ANewCategoryIsOfferedAndANewNoteStartsOnTheFirstAgain) {
  const int id = AddThroughEditor([](Editor& e) {
    Subject(e)->setText("Reading");
    CAutoCombo* box = Category(e);
    EXPECT_EQ(box->SecondColumnOffset(), 160);
    box->SelectItem(1);
    WhenModal<DlgMngCategories>([](DlgMngCategories& manager) {
      EXPECT_EQ(manager.windowTitle(), "Manage Note Categories");
      QTest::keyClicks(manager.GetDlgItem(DlgMngCategories::kIdName), "Books");
      Click(manager.GetDlgItem(DlgMngCategories::kIdAdd));
      Click(manager.GetDlgItem(DlgBase::kIdOk));
    });
    Click(e.GetDlgItem(Editor::kIdCategories));
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->ItemText(2), "Books");
    EXPECT_EQ(box->currentText(), "General") << "a new note's choice goes back to the first";
    box->SelectItem(2);
  });
  EXPECT_EQ(LoadNote(id).catname, "Books");
}

TEST_F(NoteEditorTest, AFailedInsertIsToldAndKeepsEverythingTyped) {
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_insert before "
                               "insert on note begin select raise(abort, 'refused'); end"),
            0);
  Editor editor(true, -1);
  RunModal<Editor>(editor, [](Editor& e) {
    Subject(e)->setText("Wi-Fi at the cabin");
    Content(e)->setPlainText("network: cabin\npassword: on the fridge");
    Save(e);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(Subject(e)->text(), "Wi-Fi at the cabin");
    EXPECT_EQ(Content(e)->StoredText(), "network: cabin\npassword: on the fridge");
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].first.rfind("The Note \"Wi-Fi at the cabin\" was not saved: ", 0), 0u);
  EXPECT_EQ(LastNoteId(), 0) << "nothing stored";
}

TEST_F(NoteEditorTest, ControlsCarryNamesForAssistiveTools) {
  Editor editor(true, -1);
  editor.Create();
  const std::pair<int, const char*> names[] = {
      {Editor::kIdSubject, "Subject"},          {Editor::kIdCategory, "Category"}, {Editor::kIdContent, "Note text"},
      {Editor::kIdCategories, "Categories..."}, {DlgBase::kIdOk, "Save"},          {DlgBase::kIdCancel, "Cancel"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(editor.GetDlgItem(id)->accessibleName(), name) << id;
}
