#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>

#include "UiTest.h"
#include "ui/CAutoCombo.h"

class CAutoComboTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    m_host = std::make_unique<QWidget>();
    m_combo = new CAutoCombo(m_host.get());
    m_combo->InitAutoCombo(true, 100);
    for (const char* item : {"Apple\tfruit", "Apricot\tstone fruit", "Banana\tlong", "apex\ttop"}) {
      const int index = m_combo->AddItem(QString::fromUtf8(item));
      m_combo->SetItemValue(index, 100 + index);
    }
    m_host->show();
  }
  void TearDown() override {
    m_host.reset();
    UiTest::TearDown();
  }

  void Type(const char* keys) { QTest::keyClicks(m_combo->lineEdit(), QString::fromUtf8(keys)); }
  void Backspace() { QTest::keyClick(m_combo->lineEdit(), Qt::Key_Backspace); }
  QStringList Rows() const {
    QStringList rows;
    for (int r = 0; r < m_combo->count(); ++r) rows << m_combo->itemText(r);
    return rows;
  }
  QString Edit() const { return m_combo->lineEdit()->text(); }

  std::unique_ptr<QWidget> m_host;
  CAutoCombo* m_combo = nullptr;
};

TEST_F(CAutoComboTest, TypingForwardNarrowsAndCompletesTheFirstMatch) {
  QSignalSpy edits(m_combo, &CAutoCombo::editChange);
  Type("a");
  EXPECT_EQ(Rows(), QStringList({"Apple", "Apricot", "apex"}));
  EXPECT_EQ(Edit(), QStringLiteral("Apple"));
  EXPECT_EQ(m_combo->lineEdit()->selectedText(), QStringLiteral("pple"));

  // The list opens; typing on while it has the keyboard still edits the text,
  // and replaces the completed rest.
  ASSERT_TRUE(m_combo->view()->isVisible());
  EXPECT_GE(m_combo->view()->window()->width(), 320);  // room for the second column
  QTest::keyClicks(m_combo->view(), QStringLiteral("pr"));
  EXPECT_EQ(Rows(), QStringList({"Apricot"}));
  EXPECT_EQ(Edit(), QStringLiteral("Apricot"));
  EXPECT_EQ(m_combo->lineEdit()->selectedText(), QStringLiteral("icot"));
  EXPECT_EQ(m_combo->GetSelectedItem(), 1);
  EXPECT_EQ(m_combo->GetItemValue(m_combo->GetSelectedItem()), 101);
  EXPECT_EQ(edits.count(), 3);
}

TEST_F(CAutoComboTest, DeletingRebuildsFromTheFullListAndCompletesNothing) {
  Type("apr");
  Backspace();  // removes the completed rest; the typed part has the item's case
  EXPECT_EQ(Edit(), QStringLiteral("Apr"));
  EXPECT_EQ(Rows(), QStringList({"Apricot"}));
  Backspace();
  EXPECT_EQ(Edit(), QStringLiteral("Ap"));
  EXPECT_TRUE(m_combo->lineEdit()->selectedText().isEmpty());
  EXPECT_EQ(Rows(), QStringList({"Apple", "Apricot", "apex"}));
  EXPECT_EQ(m_combo->currentIndex(), -1);
}

TEST_F(CAutoComboTest, NoMatchEmptiesTheListAndKeepsTheTypedText) {
  Type("qz");
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(Edit(), QStringLiteral("qz"));
  EXPECT_EQ(m_combo->lineEdit()->cursorPosition(), 2);
  // With nothing shown the choice made before (none yet: the first) counts.
  EXPECT_EQ(m_combo->GetSelectedItem(), 0);
}

TEST_F(CAutoComboTest, WithoutAChoiceTheFirstShownRowCounts) {
  Type("ban");
  Backspace();
  Backspace();
  ASSERT_EQ(m_combo->currentIndex(), -1);
  EXPECT_EQ(Rows(), QStringList({"Banana"}));
  EXPECT_EQ(m_combo->GetSelectedItem(), 2);
  EXPECT_EQ(m_combo->GetItemValue(m_combo->GetSelectedItem()), 102);

  CAutoCombo empty(m_host.get());
  EXPECT_EQ(empty.GetSelectedItem(), -1);
  EXPECT_EQ(empty.GetItemValue(empty.GetSelectedItem()), -1);
}

TEST_F(CAutoComboTest, ItemValuesFollowTheirItemsAndGoWithAReset) {
  Type("ap");
  EXPECT_EQ(m_combo->GetItemValue(3), 103);
  m_combo->hidePopup();  // closing the list shows every item again
  ASSERT_TRUE(QTest::qWaitFor([this] { return m_combo->count() == 4; }, 1000));
  EXPECT_EQ(m_combo->GetSelectedItem(), 0);
  EXPECT_EQ(m_combo->GetItemValue(2), 102);

  m_combo->ResetItems();
  EXPECT_EQ(m_combo->count(), 0);
  m_combo->AddItem(QStringLiteral("Later"));
  EXPECT_EQ(m_combo->GetItemValue(0), -1);  // nothing left over from the old list
}

TEST_F(CAutoComboTest, SelectItemChoosesByFullIndexAndNotifies) {
  QSignalSpy changes(m_combo, &CAutoCombo::selChange);
  Type("a");  // Banana is not shown now
  m_combo->SelectItem(2);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(m_combo->GetSelectedItem(), 2);
  EXPECT_EQ(Edit(), QStringLiteral("Banana"));
}

TEST_F(CAutoComboTest, EveryRowKeepsItsOwnSecondText) {
  EXPECT_EQ(m_combo->ItemText(1), QStringLiteral("Apricot"));
  EXPECT_EQ(m_combo->SecondText(0), QStringLiteral("fruit"));
  EXPECT_EQ(m_combo->SecondText(1), QStringLiteral("stone fruit"));
  const int pair = m_combo->AddItemPair(QStringLiteral("Cherry"), QStringLiteral("red"));
  EXPECT_EQ(m_combo->SecondText(pair), QStringLiteral("red"));
  EXPECT_EQ(m_combo->SecondText(3), QStringLiteral("top"));

  CAutoCombo single(m_host.get());
  single.InitAutoCombo(false, 0);
  single.AddItem(QStringLiteral("a\tb"));
  EXPECT_EQ(single.ItemText(0), QStringLiteral("a\tb"));
  EXPECT_TRUE(single.SecondText(0).isEmpty());
}

TEST_F(CAutoComboTest, FocusShowsTheFullListWithTheCurrentItemSelected) {
  QSignalSpy gained(m_combo, &CAutoCombo::focusGained);
  m_combo->SelectItem(2);
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QCoreApplication::sendEvent(m_combo, &in);
  EXPECT_EQ(m_combo->lineEdit()->selectedText(), QStringLiteral("Banana"));
  Type("a");  // replaces the selected text
  ASSERT_EQ(m_combo->count(), 3);
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(m_combo, &out);
  QCoreApplication::sendEvent(m_combo, &in);
  EXPECT_EQ(gained.count(), 2);
  EXPECT_EQ(m_combo->count(), 4);
  EXPECT_EQ(m_combo->GetSelectedItem(), 0);  // "Apple" was the completion when focus left
  EXPECT_EQ(m_combo->lineEdit()->selectedText(), QStringLiteral("Apple"));
}

TEST_F(CAutoComboTest, LeavingTheBoxNeverLeavesTextThatMatchedNothing) {
  QSignalSpy unmatched(m_combo, &CAutoCombo::unmatchedText);
  m_combo->SelectItem(2);
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QCoreApplication::sendEvent(m_combo, &in);
  Type("zz");
  ASSERT_EQ(m_combo->count(), 0);
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(m_combo, &out);
  // Nothing matched, so the earlier choice stands, and the box says so.
  EXPECT_EQ(m_combo->GetSelectedItem(), 2);
  EXPECT_EQ(m_combo->lineEdit()->text(), m_combo->ItemText(2));
  EXPECT_EQ(m_combo->count(), 4);
  ASSERT_EQ(unmatched.count(), 1);
  EXPECT_EQ(unmatched.at(0).at(0).toString(), QStringLiteral("zz"));

  // Text that completes an item is that item, not unmatched text.
  QCoreApplication::sendEvent(m_combo, &in);
  Type("ap");
  QCoreApplication::sendEvent(m_combo, &out);
  EXPECT_EQ(m_combo->GetSelectedItem(), 0);
  EXPECT_EQ(unmatched.count(), 1);
}

// The rows' font is made only when the list first asks for it; the first
// question may be a row's height, which must already fit the bold face.
TEST_F(CAutoComboTest, OpenListRowsAreTallEnoughForTheItemFont) {
  QAbstractItemView* list = m_combo->view();
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 200, 1);
  const int rowHeight = list->itemDelegate()->sizeHint(option, m_combo->model()->index(0, 0)).height();
  EXPECT_GT(rowHeight, QFontMetrics(m_combo->ItemFont()).height());
  EXPECT_EQ(rowHeight, m_combo->ItemHeight());
  EXPECT_EQ(m_combo->ItemFont().weight(), QFont::DemiBold);
}
