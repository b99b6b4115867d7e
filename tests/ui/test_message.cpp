#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "UiTest.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/DlgMessage.h"

namespace {

const QString kQuestion = QStringLiteral("Are you sure you want to delete this Task?");

// Runs the dialog modally and acts on it as soon as it is up.
int RunAndAnswer(DlgMessage& message, std::function<void(DlgMessage&)> act) {
  QTimer::singleShot(0, [&message, act] {
    ASSERT_EQ(QApplication::activeModalWidget(), &message);
    act(message);
  });
  return message.DoModal();
}

CButtonST* Button(DlgMessage& message, int id) { return qobject_cast<CButtonST*>(message.GetDlgItem(id)); }

// Where a key typed now goes: the control with the focus, or the dialog.
QWidget* FocusIn(DlgMessage& message) {
  QWidget* focus = message.focusWidget();
  return focus ? focus : &message;
}

}  // namespace

using DlgMessageTest = UiTest;

TEST_F(DlgMessageTest, QuestionCentresYesAndNoAndAnswersOneOrTwo) {
  DlgMessage message(kQuestion, 0);
  message.Create();
  CButtonST* yes = Button(message, 1);
  CButtonST* no = Button(message, 2);
  EXPECT_FALSE(yes->isHidden());
  EXPECT_FALSE(no->isHidden());
  EXPECT_EQ(yes->text(), QStringLiteral("Yes"));
  const int gap = (message.width() - yes->width() - no->width()) / 2;
  EXPECT_EQ(yes->x(), gap);
  EXPECT_EQ(no->x(), gap + yes->width() + 1);
  EXPECT_EQ(no->y(), yes->y());
  EXPECT_FALSE(yes->IsFlat());

  EXPECT_EQ(RunAndAnswer(message, [](DlgMessage& m) { Button(m, 1)->click(); }), 1);
  DlgMessage no2(kQuestion, 0);
  EXPECT_EQ(RunAndAnswer(no2, [](DlgMessage& m) { Button(m, 2)->click(); }), 2);
  DlgMessage escaped(kQuestion, 0);
  EXPECT_EQ(RunAndAnswer(escaped, [](DlgMessage& m) { QTest::keyClick(&m, Qt::Key_Escape); }), 2);
}

TEST_F(DlgMessageTest, ReturnEnterAndSpacePressTheFocusedAnswer) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    for (const int answer : {1, 2}) {
      DlgMessage question(kQuestion, 0);
      EXPECT_EQ(RunAndAnswer(question,
                             [key, answer](DlgMessage& m) {
                               Button(m, answer)->setFocus();
                               QTest::keyClick(Button(m, answer), key);
                             }),
                answer)
          << "key " << key << " on button " << answer;
    }
  }
}

TEST_F(DlgMessageTest, ReturnAloneAnswersYesToAQuestionButNoToACautiousOne) {
  DlgMessage plain(kQuestion, 0);
  EXPECT_EQ(RunAndAnswer(plain, [](DlgMessage& m) { QTest::keyClick(FocusIn(m), Qt::Key_Return); }), 1);
  DlgMessage cautious(QStringLiteral("Trust this one certificate for this account?"), 3);
  EXPECT_EQ(RunAndAnswer(cautious,
                         [](DlgMessage& m) {
                           EXPECT_FALSE(Button(m, 2)->isHidden());
                           EXPECT_TRUE(Button(m, 2)->IsDefault());
                           QTest::keyClick(FocusIn(m), Qt::Key_Return);
                         }),
            2);
}

TEST_F(DlgMessageTest, NoticeWithOkShowsOneCentredOkButton) {
  DlgMessage message(QStringLiteral("You cannot delete the last Category"), 2);
  message.Create();
  CButtonST* ok = Button(message, 1);
  EXPECT_TRUE(Button(message, 2)->isHidden());
  EXPECT_FALSE(ok->isHidden());
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_EQ(ok->x(), (message.width() - ok->width()) / 2);
  EXPECT_EQ(RunAndAnswer(message, [](DlgMessage& m) { QTest::keyClick(&m, Qt::Key_Return); }), 1);
}

TEST_F(DlgMessageTest, SelfClosingNoticeIsShorterAndEndsWithOkAfterItsTime) {
  DlgMessage question(kQuestion, 0);
  question.Create();
  DlgMessage notice(QStringLiteral("Please enter a Task name."), 1);
  notice.Create();
  EXPECT_TRUE(Button(notice, 1)->isHidden());
  EXPECT_TRUE(Button(notice, 2)->isHidden());
  // 20 pixels off the top and the bottom, about the same centre line.
  EXPECT_EQ(notice.height(), question.height() - 40);
  EXPECT_EQ(notice.y(), question.y() + 20);

  const QTimer* selfClose = notice.findChild<QTimer*>(QStringLiteral("timer3"));
  ASSERT_NE(selfClose, nullptr);
  EXPECT_EQ(selfClose->interval(), 1800);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(notice.DoModal(), 1);
  EXPECT_GE(clock.elapsed(), 1700);
  EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(DlgMessageTest, ALongerMessageWidensTheBoxAndALongOneWraps) {
  QWidget owner;
  owner.setGeometry(100, 80, 900, 700);
  owner.show();
  DlgMessage shortOne(QStringLiteral("Hi"), 2);
  shortOne.Create();
  EXPECT_EQ(shortOne.width(), 420);  // the template's width: a short text changes nothing

  const QString medium = QStringLiteral("Please select a Contact to edit!");
  DlgMessage wider(medium, 2);
  wider.Create();
  auto* label = qobject_cast<CColorStatic*>(wider.GetDlgItem(1081));
  // Measured in the label's own (larger) font, so the whole text fits on one line.
  EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(medium));
  EXPECT_EQ(wider.width(), std::max(420, label->x() + label->width() + 10));

  const QString text = QStringLiteral(
      "Text will be hard to read: the text color and the background color are too much alike (contrast 1.1 : 1, "
      "less than 3 : 1). The color is taken all the same; choose another one if you cannot read the text.");
  DlgMessage longOne(text, 2, &owner);
  longOne.Create();
  label = qobject_cast<CColorStatic*>(longOne.GetDlgItem(1081));
  const QFontMetrics metrics(label->font());
  EXPECT_LE(label->width(), metrics.averageCharWidth() * 60) << "a readable width, not one long line";
  EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "every wrapped line shows";
  EXPECT_GE(Button(longOne, 1)->y(), label->y() + label->height()) << "OK below the text";
  EXPECT_LE(Button(longOne, 1)->geometry().bottom(), longOne.height());
  const QPoint off = longOne.geometry().center() - owner.frameGeometry().center();
  EXPECT_LE(off.manhattanLength(), 2) << "centred on its owner";
}

TEST_F(DlgMessageTest, ResponderAnswersWithoutWaiting) {
  QString seen;
  int seenKind = -1;
  bool wasVisible = true;
  DlgMessage::SetResponder([&](DlgMessage& m) {
    seen = qobject_cast<CColorStatic*>(m.GetDlgItem(1081))->text();
    seenKind = m.GetKind();
    wasVisible = m.isVisible();
    return 2;
  });
  DlgMessage message(kQuestion, 0);
  const int answer = message.DoModal();
  DlgMessage::SetResponder(nullptr);
  EXPECT_EQ(answer, 2);
  EXPECT_EQ(seen, kQuestion);
  EXPECT_EQ(seenKind, 0);
  EXPECT_FALSE(wasVisible);
}
