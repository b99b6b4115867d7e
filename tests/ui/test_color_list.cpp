#include <QApplication>
#include <QCursor>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QWheelEvent>

#include "UiTest.h"
#include "ui/CColorHeaderCtrl.h"
#include "ui/CColorListCtrl.h"
#include "ui/ColorRef.h"
#include "ui/DlgBase.h"
#include "ui/UiFonts.h"

class CColorListTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    m_list = std::make_unique<CColorListCtrl>();
    m_list->setFont(MakeCellFont(QStringLiteral("Times New Roman"), 18, 700));
    for (const char* caption : {"Task", "Priority", "Category"}) {
      m_list->InsertColumn(QString::fromUtf8(caption), m_list->GetColumnCount());
    }
    for (int c = 0; c < 3; ++c) m_list->setColumnWidth(c, 120);
    for (const char* name : {"one", "two", "three", "four", "five"}) {
      const int row = m_list->SetCellText(m_list->GetItemCount(), 0, QString::fromUtf8(name));
      m_list->SetCellText(row, 1, QStringLiteral("High"));
    }
    m_list->resize(400, 220);
    m_list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_list.get()));
  }
  void TearDown() override {
    m_list.reset();
    UiTest::TearDown();
  }

  QRect CellRect(int row, int column) const {
    const QRect rect = m_list->visualRect(m_list->model()->index(row, column));
    return rect.translated(m_list->viewport()->mapTo(m_list.get(), QPoint(0, 0)));
  }
  // The colour of a cell beside its text, away from the grid.
  int CellBackground(int row, int column) const {
    const QRect cell = CellRect(row, column);
    return RefFromColor(m_list->grab().toImage().pixelColor(cell.right() - 4, cell.center().y()));
  }
  // The right end of what is drawn in a cell other than its background.
  int InkRight(int row, int column) const {
    const QImage image = m_list->grab().toImage();
    const QRect cell = CellRect(row, column).adjusted(0, 1, -2, -2);
    const QColor background = image.pixelColor(cell.right(), cell.center().y());
    int right = -1;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      for (int x = cell.left(); x <= cell.right(); ++x) {
        if (image.pixelColor(x, y) != background) right = qMax(right, x);
      }
    }
    return right - cell.left();
  }
  QStringList FirstColumn() const {
    QStringList texts;
    for (int row = 0; row < m_list->GetItemCount(); ++row) texts << m_list->GetItemText(row, 0);
    return texts;
  }

  std::unique_ptr<CColorListCtrl> m_list;
};

TEST_F(CColorListTest, CellRowAndColumnStylesAreDrawnInTheirOrder) {
  m_list->SetColumnBkColor(1, 0x00C000);
  m_list->SetColumnStyle(1, kLsBkColor);
  m_list->SetRowBkColor(0, 0xC00000);
  m_list->SetRowStyle(0, kLsBkColor);
  m_list->SetCellBkColor(0, 0, 0x0000C0);
  m_list->SetCellStyle(0, 0, kLsBkColor);
  m_list->SetRowStyle(2, kLsNoColumnStyle);
  m_list->SetCellStyle(3, 1, kLsNoColumnStyle);

  EXPECT_EQ(CellBackground(0, 0), 0x0000C0);
  EXPECT_EQ(CellBackground(0, 1), 0xC00000);
  EXPECT_EQ(CellBackground(0, 2), 0xC00000);
  EXPECT_EQ(CellBackground(1, 1), 0x00C000);
  EXPECT_EQ(CellBackground(1, 0), Settings().GetClrBackground());
  EXPECT_EQ(CellBackground(2, 1), Settings().GetClrBackground());
  EXPECT_EQ(CellBackground(3, 1), Settings().GetClrBackground());
  EXPECT_EQ(CellBackground(4, 1), 0x00C000);
}

TEST_F(CColorListTest, OnlyTheFirstSelectedRowIsDrawnInTheListsSelectedColours) {
  // A priority cell: its background on the normal style only, then also on the selected variant.
  for (int row : {1, 3}) {
    m_list->SetCellBkColor(row, 1, 0x2828C6);
    m_list->SetCellStyle(row, 1, kLsBkColor);
  }
  m_list->SetCellSelectedBkColor(3, 1, 0x2828C6);
  m_list->SetCellSelectedStyle(3, 1, kLsBkColor);

  m_list->SelectRow(1);
  EXPECT_EQ(m_list->GetFirstSelectedRow(), 1);
  EXPECT_EQ(CellBackground(1, 0), Settings().GetClrHighlight());
  EXPECT_EQ(CellBackground(1, 1), Settings().GetClrHighlight());
  EXPECT_EQ(m_list->GetCellLook(1, 0, true).textColor, Settings().GetClrText());
  m_list->SelectRow(3);
  EXPECT_EQ(CellBackground(3, 1), 0x2828C6);
  EXPECT_EQ(CellBackground(1, 1), 0x2828C6);

  m_list->SetSelectedBkColor(0x336699);
  m_list->setSelectionMode(QAbstractItemView::MultiSelection);
  m_list->selectionModel()->select(m_list->model()->index(4, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  m_list->selectionModel()->select(m_list->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(m_list->GetFirstSelectedRow(), 2);
  EXPECT_EQ(CellBackground(2, 0), 0x336699);
  const int systemHighlight = RefFromColor(m_list->palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(CellBackground(4, 0), systemHighlight);
  EXPECT_EQ(CellBackground(3, 0), systemHighlight);
}

TEST_F(CColorListTest, ACompletedRowOnABoldListIsStruckOutAtNormalWeight) {
  for (int row : {0, 1}) {
    m_list->SetCellText(row, 2, QStringLiteral("mmmmmm"));
    m_list->SetRowTextColor(row, 0x7D7DFF);
  }
  m_list->SetRowStyle(0, kLsTextColor | kLsStrikeOut);
  m_list->SetRowStyle(1, kLsTextColor);
  for (int column = 0; column < 3; ++column) {
    const std::optional<QFont> font = m_list->GetCellLook(0, column, false).font;
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->weight(), QFont::Normal);
    EXPECT_TRUE(font->strikeOut());
    EXPECT_EQ(font->pixelSize(), m_list->font().pixelSize());
  }
  EXPECT_FALSE(m_list->GetCellLook(1, 2, false).font.has_value());
  // Drawn so: the same text ends sooner in the thinner face.
  EXPECT_LT(InkRight(0, 2), InkRight(1, 2));
}

TEST_F(CColorListTest, RowsGoInAtColumnZeroAndKeepTheirStylesButNotTheirValues) {
  EXPECT_EQ(m_list->SetCellText(99, 0, QStringLiteral("six")), 5);
  EXPECT_EQ(m_list->SetCellText(99, 1, QStringLiteral("x")), -1);
  EXPECT_EQ(m_list->SetCellText(0, 7, QStringLiteral("x")), -1);
  m_list->SetRowBkColor(1, 0xABCDEF);
  m_list->SetRowStyle(1, kLsBkColor);
  EXPECT_EQ(m_list->SetCellText(1, 0, QStringLiteral("one and a half")), 1);
  EXPECT_EQ(FirstColumn().mid(0, 3), QStringList({"one", "one and a half", "two"}));
  EXPECT_EQ(m_list->GetItemText(2, 1), QStringLiteral("High"));
  EXPECT_EQ(m_list->GetCellLook(2, 0, false).bkColor, 0xABCDEF);
  EXPECT_EQ(m_list->GetCellLook(1, 0, false).bkColor, Settings().GetClrBackground());

  m_list->SetItemValue(0, 42);
  m_list->SetItemValue(3, 7);
  m_list->SetItemValue(500, 1);  // no such row
  EXPECT_EQ(m_list->GetItemValue(0), 42);
  EXPECT_EQ(m_list->GetItemValue(1), -1);
  EXPECT_EQ(m_list->GetItemValue(3), 7);
  EXPECT_EQ(m_list->GetItemValue(500), -1);
  EXPECT_EQ(m_list->GetItemValue(-1), -1);

  m_list->DeleteAllItems();
  EXPECT_EQ(m_list->GetItemCount(), 0);
  EXPECT_EQ(m_list->GetItemValue(0), -1);
  EXPECT_EQ(m_list->GetItemValue(3), -1);
  for (int row = 0; row < 3; ++row) m_list->SetCellText(row, 0, QStringLiteral("again"));
  EXPECT_EQ(m_list->GetItemValue(0), -1);
  EXPECT_EQ(m_list->GetCellLook(1, 0, false).bkColor, Settings().GetClrBackground());
  EXPECT_EQ(m_list->GetColumnCount(), 3);
}

// A refill of a long list reaches the view as one reset, not a change per
// row and cell; what the rows hold, and the ticks they announce, are as if
// each had been added alone.
TEST_F(CColorListTest, ReplacedRowsReachTheViewAsOneChange) {
  m_list->SetCheckBoxes(true);
  m_list->SetItemValue(0, 42);
  m_list->SelectRow(2);
  QSignalSpy inserted(m_list->model(), &QAbstractItemModel::rowsInserted);
  QSignalSpy changed(m_list->model(), &QAbstractItemModel::dataChanged);
  QSignalSpy reset(m_list->model(), &QAbstractItemModel::modelReset);
  QSignalSpy ticks(m_list.get(), &CColorListCtrl::checkChanged);

  m_list->BeginReplaceItems();
  EXPECT_EQ(m_list->GetItemCount(), 0);
  for (int row = 0; row < 1000; ++row) {
    m_list->SetCellText(row, 0, QStringLiteral("task %1").arg(row));
    m_list->SetCellText(row, 1, QStringLiteral("Low"));
    m_list->SetCellBkColor(row, 1, 0x00FF00);
    m_list->SetCellStyle(row, 1, kLsBkColor);
    m_list->SetCheck(row, row % 2 == 1);
    m_list->SetItemValue(row, 1000 + row);
  }
  m_list->EndReplaceItems();

  EXPECT_EQ(inserted.count(), 0);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(ticks.count(), 500);
  EXPECT_EQ(m_list->GetItemCount(), 1000);
  EXPECT_EQ(m_list->model()->rowCount(), 1000);
  EXPECT_EQ(m_list->GetItemText(999, 0), QStringLiteral("task 999"));
  EXPECT_EQ(m_list->GetItemValue(0), 1000);
  EXPECT_EQ(m_list->GetCheck(1), 1);
  EXPECT_EQ(m_list->GetCellLook(7, 1, false).bkColor, 0x00FF00);
  EXPECT_EQ(m_list->GetFirstSelectedRow(), -1);

  // After the refill single changes are announced again.
  m_list->SetCellText(0, 1, QStringLiteral("High"));
  EXPECT_EQ(changed.count(), 1);
  m_list->SetCellText(1000, 0, QStringLiteral("one more"));
  EXPECT_EQ(inserted.count(), 1);
}

TEST_F(CColorListTest, CheckBoxChangesAreAnnouncedWithOldAndNewState) {
  m_list->SetCheckBoxes(true);
  QSignalSpy changes(m_list.get(), &CColorListCtrl::checkChanged);
  m_list->SetCheck(1, true);
  m_list->SetCheck(1, true);  // no change, no notice
  m_list->SetCheck(1, false);
  ASSERT_EQ(changes.count(), 2);
  EXPECT_EQ(changes.at(0), QVariantList({1, 0, 1}));
  EXPECT_EQ(changes.at(1), QVariantList({1, 1, 0}));
  changes.clear();

  // The user's click on the box, as it is laid out for the row.
  QStyleOptionViewItem option;
  option.initFrom(m_list.get());
  option.rect = m_list->visualRect(m_list->model()->index(3, 0));
  option.features |= QStyleOptionViewItem::HasCheckIndicator;
  const QRect box = m_list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, m_list.get());
  QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, box.center());
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.at(0), QVariantList({3, 0, 1}));
  EXPECT_EQ(m_list->GetCheck(3), 1);
  QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, box.center() + QPoint(0, 1));
  ASSERT_EQ(changes.count(), 2);
  EXPECT_EQ(changes.at(1), QVariantList({3, 1, 0}));
  // A click on the row's text selects the row and leaves the box alone.
  QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, option.rect.center());
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(m_list->GetFirstSelectedRow(), 3);
}

TEST_F(CColorListTest, ClickingAHeaderSortsNothing) {
  m_list->SetCellText(0, 0, QStringLiteral("zebra"));
  const QStringList before = FirstColumn();
  CColorHeaderCtrl* header = m_list->GetHeaderCtrl();
  for (int section : {0, 0, 1}) {
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  }
  EXPECT_EQ(FirstColumn(), before);
  EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST_F(CColorListTest, HitTestFindsTheRowUnderThePointer) {
  const auto hitAt = [this](QPoint inViewport) {
    QCursor::setPos(m_list->viewport()->mapToGlobal(inViewport));
    return m_list->HitTestMessagePos();
  };
  const QRect row2 = m_list->visualRect(m_list->model()->index(2, 1));
  EXPECT_EQ(hitAt(row2.center()), 2);
  EXPECT_EQ(hitAt(QPoint(m_list->viewport()->width() - 2, row2.center().y())), 2);  // right of the last column
  const QRect last = m_list->visualRect(m_list->model()->index(4, 0));
  EXPECT_EQ(hitAt(QPoint(10, last.bottom() + 10)), -1);
  EXPECT_EQ(hitAt(QPoint(-20, row2.center().y())), -1);
}

TEST_F(CColorListTest, HeaderInTheUsersColoursAndColumnsAsWideAsTheirCaptions) {
  EXPECT_EQ(m_list->columnWidth(2), 120);
  m_list->InsertColumn(QStringLiteral("Deadline"), 3);
  EXPECT_EQ(m_list->columnWidth(3), m_list->fontMetrics().horizontalAdvance(QStringLiteral("Deadline")) + 15);
  CColorHeaderCtrl* header = m_list->GetHeaderCtrl();
  EXPECT_EQ(header->Caption(3), QStringLiteral("Deadline"));
  EXPECT_EQ(header->GetCaptionFont().weight(), QFont::Bold);
  m_list->setColumnWidth(3, 20);

  const int frameColor = Settings().GetClrHighlight();
  Settings().SetClrHighlight(0x00FF00);   // the frame keeps the colour of its making
  Settings().SetClrBackground(0x102030);  // the background follows the setting
  const QImage image = header->grab().toImage();
  const int boundary = header->sectionViewportPosition(1);
  const int mid = header->height() / 2;
  EXPECT_EQ(RefFromColor(image.pixelColor(boundary, mid)), frameColor);
  EXPECT_EQ(RefFromColor(image.pixelColor(boundary - 8, mid)), 0x102030);
  EXPECT_EQ(RefFromColor(image.pixelColor(header->width() - 3, mid)), 0x102030);  // beyond the last column
}

TEST_F(CColorListTest, ATemplateListShowsAVerticalScrollBarOnlyWhenRowsDoNotFit) {
  DlgBase page(106);
  page.Create();
  auto* list = qobject_cast<CColorListCtrl*>(page.GetDlgItem(1049));
  ASSERT_NE(list, nullptr);
  for (int c = 0; c < 4; ++c) list->InsertColumn(QStringLiteral("Column"), c);
  for (int c = 0; c < 4; ++c) list->setColumnWidth(c, 300);
  list->SetCellText(0, 0, QStringLiteral("one row"));
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  EXPECT_FALSE(list->verticalScrollBar()->isVisible()) << "one row fits";
  for (int row = 1; row < 300; ++row) list->SetCellText(row, 0, QString::number(row));
  ASSERT_TRUE(QTest::qWaitFor([list] { return list->verticalScrollBar()->isVisible(); }, 1000));
  EXPECT_FALSE(list->horizontalScrollBar()->isVisible());

  const QPoint centre = list->viewport()->rect().center();
  QWheelEvent wheel(centre, list->viewport()->mapToGlobal(centre), {}, QPoint(0, -120), Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(list->viewport(), &wheel);
  EXPECT_GT(list->verticalScrollBar()->value(), 0);
}

// Rows given the same colour are styled alike, but each keeps what it had
// before: the change is worked out once per style it starts from. A refill,
// which numbers the styles afresh, comes out the same way.
TEST_F(CColorListTest, AnEqualChangeKeepsWhatEachRowHadAlsoAfterARefill) {
  constexpr int kRed = 0x0000FF;
  constexpr int kBlue = 0xFF0000;
  constexpr int kGreen = 0x00FF00;
  for (const bool swapped : {false, true}) {
    m_list->BeginReplaceItems();
    for (int row = 0; row < 4; ++row) {
      m_list->SetCellText(row, 0, QStringLiteral("row"));
      m_list->SetRowTextColor(row, (row % 2 == 0) != swapped ? kRed : kBlue, false);
      m_list->SetRowBkColor(row, kGreen, false);
      m_list->SetRowStyle(row, kLsTextColor | kLsBkColor, false);
    }
    m_list->EndReplaceItems();
    for (int row = 0; row < 4; ++row) {
      EXPECT_EQ(m_list->GetCellLook(row, 0, false).textColor, (row % 2 == 0) != swapped ? kRed : kBlue)
          << "row " << row << (swapped ? " after the refill" : "");
      EXPECT_EQ(m_list->GetCellLook(row, 0, false).bkColor, kGreen) << "row " << row;
    }
  }
}
