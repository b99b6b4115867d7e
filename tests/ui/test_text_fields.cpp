#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>

#include "UiTest.h"
#include "app/AppBase.h"
#include "ui/CColorEdit.h"
#include "ui/CMyRichEditCtrl.h"
#include "ui/CharacterLimit.h"

namespace {

// Types each character as one key press, as a keyboard or an input method
// delivers it (an emoji arrives whole, not as two halves).
void TypeCharacters(QWidget* field, const QString& text) {
  for (char32_t character : text.toUcs4()) {
    const QString one = QString::fromUcs4(&character, 1);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(field, &release);
  }
}

void PasteText(const QString& text) { QApplication::clipboard()->setText(text); }

QString Repeat(const QString& piece, int times) {
  QString text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

class TextFieldsTest : public UiTest {};

}  // namespace

TEST_F(TextFieldsTest, AMultiLineFieldGivesBackWhatWasStoredExactly) {
  const QString texts[] = {
      "one\r\ntwo\r\n",
      "old mac\rline",
      "mixed\r\nbreaks\nand\rmore",
      QString::fromUtf8("no\u00a0break space and \u2028 a separator"),
      "\n\n  leading breaks and blanks  \n",
      "",
  };
  for (const QString& text : texts) {
    CMyRichEditCtrl field;
    field.SetStoredText(text);
    field.SetTextColorAll();
    EXPECT_EQ(field.StoredText(), text) << text.toStdString();
  }
}

TEST_F(TextFieldsTest, LinesTypedIntoACrLfTextAreWrittenWithCrLf) {
  CMyRichEditCtrl field;
  field.SetStoredText("1 Main Street\r\nSpringfield");
  field.moveCursor(QTextCursor::End);
  QTest::keyClick(&field, Qt::Key_Return);
  QTest::keyClicks(&field, "USA");
  EXPECT_EQ(field.StoredText(), "1 Main Street\r\nSpringfield\r\nUSA");

  CMyRichEditCtrl typed;
  QTest::keyClicks(&typed, "a");
  QTest::keyClick(&typed, Qt::Key_Return);
  QTest::keyClicks(&typed, "b");
  EXPECT_EQ(typed.StoredText(), "a\nb") << "a new text breaks lines with LF";
}

TEST_F(TextFieldsTest, PastedRichTextArrivesAsPlainTextWithItsLineBreaks) {
  CMyRichEditCtrl field;
  auto* rich = new QMimeData;
  rich->setHtml("<p><b>Bold</b> <span style='color:red'>red</span></p><p>second</p>");
  rich->setText("Bold red\r\nsecond");
  QApplication::clipboard()->setMimeData(rich);
  field.paste();
  EXPECT_EQ(field.StoredText(), "Bold red\r\nsecond");
  QTextCursor bold(field.document());
  bold.setPosition(2);
  EXPECT_NE(bold.charFormat().fontWeight(), QFont::Bold) << "no formatting comes along";
  EXPECT_EQ(field.toHtml().contains("color:#ff0000"), false);
}

TEST_F(TextFieldsTest, TheLimitCountsCharactersNotBytesOrHalves) {
  CColorEdit edit;
  new CharacterLimit(&edit, 100);
  const QString emoji = QString::fromUtf8("😀");
  TypeCharacters(&edit, Repeat(emoji, 99) + QString::fromUtf8("漢字"));
  EXPECT_EQ(CharacterLimit::CountCharacters(edit.text()), 100);
  EXPECT_EQ(edit.text(), Repeat(emoji, 99) + QString::fromUtf8("漢")) << "the 101st character cannot be typed";

  CColorEdit ascii;
  new CharacterLimit(&ascii, 100);
  QTest::keyClicks(&ascii, Repeat("x", 120));
  EXPECT_EQ(ascii.text(), Repeat("x", 100));
}

TEST_F(TextFieldsTest, APasteIsCutWhereItWasInsertedNeverInsideACharacter) {
  CColorEdit edit;
  new CharacterLimit(&edit, 10);
  PasteText(QString::fromUtf8("Ünïcødé😀😀😀😀😀"));
  edit.paste();
  EXPECT_EQ(edit.text(), QString::fromUtf8("Ünïcødé😀😀😀"));

  edit.setCursorPosition(1);
  PasteText("ABC");
  edit.paste();
  EXPECT_EQ(edit.text(), QString::fromUtf8("Ünïcødé😀😀😀")) << "a full field takes nothing, and keeps its end";

  edit.setText("abcdefgh");
  edit.setCursorPosition(4);
  PasteText(QString::fromUtf8("😀😀😀"));
  edit.paste();
  EXPECT_EQ(edit.text(), QString::fromUtf8("abcd😀😀efgh")) << "as much as fits, where it was pasted";

  edit.selectAll();
  PasteText(Repeat(QString::fromUtf8("語"), 12));
  edit.paste();
  EXPECT_EQ(edit.text(), Repeat(QString::fromUtf8("語"), 10)) << "a selection replaced by a longer paste";
}

TEST_F(TextFieldsTest, FieldsStayReadableWithADarkColourSet) {
  UTSettings& settings = GetApp().GetSettings();
  settings.SetClrBackground(0x302010);  // dark blue
  settings.SetClrText(0xE0F0F0);        // near white
  CColorEdit edit;
  const QColor field = edit.palette().color(QPalette::Base);
  const QColor text = edit.palette().color(QPalette::Text);
  EXPECT_NE(field, QColor(Qt::white)) << "light text on a white field";
  EXPECT_GT(text.lightnessF() - field.lightnessF(), 0.4);

  settings.SetClrBackground(0xF6F3EE);  // the light default
  CColorEdit light;
  EXPECT_EQ(light.palette().color(QPalette::Base), QColor(Qt::white));
}
