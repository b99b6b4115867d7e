#include <QTextCursor>

#include "UiTest.h"
#include "ui/CMyMonthCalCtrl.h"
#include "ui/CMyRichEditCtrl.h"
#include "ui/ColorRef.h"

class RichEditTest : public UiTest {};

TEST_F(RichEditTest, SetTextColorAllColoursEveryCharacterAndWhatComesNext) {
  Settings().SetClrText(0x0000FF);  // red
  CMyRichEditCtrl edit;
  edit.setPlainText("first line\nsecond line");
  edit.SetTextColorAll();
  EXPECT_EQ(edit.textCursor().selectedText().size(), edit.toPlainText().size()) << "left selected";
  for (int position : {1, 8, 15}) {
    QTextCursor at(edit.document());
    at.setPosition(position);
    EXPECT_EQ(at.charFormat().foreground().color(), QColor(255, 0, 0)) << position;
  }
  EXPECT_EQ(edit.toPlainText(), "first line\nsecond line") << "plain text in and out";

  CMyRichEditCtrl empty;
  empty.SetTextColorAll();
  empty.insertPlainText("typed");
  QTextCursor typed(empty.document());
  typed.setPosition(2);
  EXPECT_EQ(typed.charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(RichEditTest, TheCalendarTakesTheBackgroundColourOfTheTimeItIsShown) {
  CMyMonthCalCtrl calendar;
  Settings().SetClrBackground(RefFromColor(QColor(10, 20, 30)));
  calendar.show();
  EXPECT_EQ(calendar.palette().color(QPalette::Button), QColor(10, 20, 30));
  calendar.hide();
  Settings().SetClrBackground(RefFromColor(QColor(40, 50, 60)));
  calendar.show();
  EXPECT_EQ(calendar.palette().color(QPalette::Button), QColor(40, 50, 60));
}
