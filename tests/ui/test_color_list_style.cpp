// The choice of colours and font for one cell of the colour list.
#include <gtest/gtest.h>

#include "ui/ListStyle.h"

namespace {

constexpr ListColors kColors{0x111111, 0x222222, 0x333333, 0x444444};

iLS_item Styled(unsigned flags, int text, int background) {
  iLS_item record;
  record.flags = flags;
  record.textColor = text;
  record.bkColor = background;
  return record;
}

QFont BoldListFont() {
  QFont font(QStringLiteral("Liberation Serif"));
  font.setPixelSize(16);
  font.setWeight(QFont::Bold);
  return font;
}

CellLook Look(const iLS_item* cell, const iLS_item* row, const iLS_item* column, bool selectedRow = false) {
  return ChooseCellLook(cell, row, column, selectedRow, kColors, BoldListFont());
}

constexpr unsigned kBoth = kLsTextColor | kLsBkColor;

}  // namespace

TEST(ListStyle, CellBeatsRowBeatsColumnAndEachColourIsChosenApart) {
  const iLS_item plain;
  const iLS_item column = Styled(kBoth, 0xC0, 0xC1);
  const iLS_item row = Styled(kBoth, 0xB0, 0xB1);
  EXPECT_EQ(Look(&plain, nullptr, nullptr).textColor, kColors.text);
  EXPECT_EQ(Look(&plain, nullptr, nullptr).bkColor, kColors.background);
  EXPECT_EQ(Look(&plain, nullptr, &column).bkColor, 0xC1);
  EXPECT_EQ(Look(&plain, &row, &column).bkColor, 0xB1);
  const iLS_item cellBoth = Styled(kBoth, 0xA0, 0xA1);
  EXPECT_EQ(Look(&cellBoth, &row, &column).textColor, 0xA0);

  // A colour counts only with its flag; the other one still comes from further out.
  const iLS_item cellText = Styled(kLsTextColor, 0xA0, 0xA1);
  EXPECT_EQ(Look(&cellText, &row, &column).textColor, 0xA0);
  EXPECT_EQ(Look(&cellText, &row, &column).bkColor, 0xB1);
  const iLS_item rowBackgroundOnly = Styled(kLsBkColor, 0xB0, 0xB1);
  EXPECT_EQ(Look(&plain, &rowBackgroundOnly, &column).textColor, 0xC0);
}

TEST(ListStyle, SwitchesShutOutTheRowOrTheColumnStyle) {
  const iLS_item plain;
  const iLS_item row = Styled(kBoth, 0xB0, 0xB1);
  const iLS_item column = Styled(kBoth, 0xC0, 0xC1);
  const iLS_item rowWithoutColumn = Styled(kLsNoColumnStyle, 0, 0);
  const iLS_item columnWithoutRow = Styled(kLsNoRowStyle | kBoth, 0xC0, 0xC1);

  const iLS_item cellWithoutRow = Styled(kLsNoRowStyle, 0, 0);
  const iLS_item cellWithoutColumn = Styled(kLsNoColumnStyle, 0, 0);
  const iLS_item cellAlone = Styled(kLsNoColumnStyle | kLsNoRowStyle, 0, 0);
  EXPECT_EQ(Look(&cellWithoutRow, &row, &column).bkColor, 0xC1);
  EXPECT_EQ(Look(&cellWithoutColumn, &plain, &column).bkColor, kColors.background);
  EXPECT_EQ(Look(&cellAlone, &row, &column).bkColor, kColors.background);
  EXPECT_EQ(Look(&plain, &rowWithoutColumn, &column).textColor, kColors.text);
  EXPECT_EQ(Look(&plain, &row, &columnWithoutRow).textColor, 0xC0);
  // The row style's switch is read first: once it shuts the column out, the
  // column's own switch is no longer looked at and the row style stays.
  const iLS_item rowBoth = Styled(kLsNoColumnStyle | kBoth, 0xB0, 0xB1);
  EXPECT_EQ(Look(&plain, &rowBoth, &columnWithoutRow).textColor, 0xB0);
}

TEST(ListStyle, TheSelectedRowUsesOnlyTheSelectedVariants) {
  iLS_item cell = Styled(kLsBkColor, 0, 0xA1);
  iLS_item row = Styled(kLsTextColor, 0xB0, 0);
  iLS_item column;
  // Normal styles alone: the selected row shows the list's selected colours.
  EXPECT_EQ(Look(&cell, &row, &column, true).bkColor, kColors.selectedBackground);
  EXPECT_EQ(Look(&cell, &row, &column, true).textColor, kColors.selectedText);

  column.Selected() = Styled(kBoth, 0xC2, 0xC3);
  row.Selected() = Styled(kLsTextColor, 0xB2, 0);
  EXPECT_EQ(Look(&cell, &row, &column, true).textColor, 0xB2);
  EXPECT_EQ(Look(&cell, &row, &column, true).bkColor, 0xC3);
  cell.Selected() = Styled(kLsBkColor, 0, 0xA3);
  EXPECT_EQ(Look(&cell, &row, &column, true).bkColor, 0xA3);
  // The switches too are those of the variants.
  cell.Selected().flags |= kLsNoRowStyle;
  EXPECT_EQ(Look(&cell, &row, &column, true).textColor, 0xC2);
  EXPECT_EQ(Look(&cell, &row, &column, false).textColor, 0xB0);
}

TEST(ListStyle, FontBitsMakeAFontFromTheListFontWithTheirOwnWeight) {
  const iLS_item plain;
  EXPECT_FALSE(Look(&plain, nullptr, nullptr).font.has_value());
  const iLS_item coloursOnly = Styled(kBoth, 1, 2);
  EXPECT_FALSE(Look(&coloursOnly, nullptr, nullptr).font.has_value());

  // Struck out on a bold list: normal weight, since bit 0x01 is clear.
  const iLS_item completed = Styled(kLsTextColor | kLsStrikeOut, 0x7D7DFF, 0);
  const std::optional<QFont> struck = Look(&plain, &completed, nullptr).font;
  ASSERT_TRUE(struck.has_value());
  EXPECT_EQ(struck->weight(), QFont::Normal);
  EXPECT_TRUE(struck->strikeOut());
  EXPECT_FALSE(struck->italic());
  EXPECT_EQ(struck->family(), BoldListFont().family());
  EXPECT_EQ(struck->pixelSize(), 16);

  const iLS_item allBits = Styled(kLsFontBits, 0, 0);
  const std::optional<QFont> all = Look(&allBits, nullptr, nullptr).font;
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(all->weight(), QFont::Bold);
  EXPECT_TRUE(all->italic() && all->underline() && all->strikeOut());

  // An explicit font wins over the bits of the same record.
  iLS_item explicitFont = Styled(kLsItalic, 0, 0);
  explicitFont.font = QFont(QStringLiteral("Liberation Mono"), 9);
  EXPECT_EQ(Look(&explicitFont, nullptr, nullptr).font, explicitFont.font);
}

TEST(ListStyle, SeveralFontsAreCombinedTheMostSpecificLast) {
  iLS_item column;
  column.font = BoldListFont();
  column.font->setFamily(QStringLiteral("Liberation Mono"));
  column.font->setItalic(true);
  const iLS_item row = Styled(kLsStrikeOut, 0, 0);  // made at weight 400, upright
  const iLS_item cell = Styled(kLsBold | kLsUnderline, 0, 0);

  // The row's font differs from the list font in weight and strike-out only,
  // so the column keeps the family and the slant.
  const iLS_item plain;
  const std::optional<QFont> two = Look(&plain, &row, &column).font;
  ASSERT_TRUE(two.has_value());
  EXPECT_EQ(two->family(), QStringLiteral("Liberation Mono"));
  EXPECT_TRUE(two->italic());
  EXPECT_TRUE(two->strikeOut());
  EXPECT_EQ(two->weight(), QFont::Normal);

  // The cell's font is upright and bold like the list font, so it changes
  // only the underline; the weight stays that of the row.
  const std::optional<QFont> three = Look(&cell, &row, &column).font;
  ASSERT_TRUE(three.has_value());
  EXPECT_TRUE(three->underline() && three->strikeOut() && three->italic());
  EXPECT_EQ(three->weight(), QFont::Normal);

  // A shut-out style gives no font either.
  const iLS_item cellWithoutRow = Styled(kLsNoRowStyle, 0, 0);
  const std::optional<QFont> withoutRow = Look(&cellWithoutRow, &row, &column).font;
  ASSERT_TRUE(withoutRow.has_value());
  EXPECT_FALSE(withoutRow->strikeOut());
}

TEST(ListStyle, ASelectedVariantWithoutAFontLeavesTheFontToTheNormalStyle) {
  iLS_item row = Styled(kLsTextColor | kLsStrikeOut, 0x7D7DFF, 0);
  row.Selected() = Styled(kLsTextColor, 0x123456, 0);  // colours only
  const iLS_item plain;
  const std::optional<QFont> font = Look(&plain, &row, nullptr, true).font;
  ASSERT_TRUE(font.has_value());
  EXPECT_TRUE(font->strikeOut());
  EXPECT_EQ(Look(&plain, &row, nullptr, true).textColor, 0x123456);

  row.Selected().flags |= kLsItalic;
  EXPECT_TRUE(Look(&plain, &row, nullptr, true).font->italic());
  EXPECT_FALSE(Look(&plain, &row, nullptr, true).font->strikeOut());
  // An explicit font on the variant counts as a font of its own.
  row.Selected().flags = kLsTextColor;
  row.Selected().font = QFont(QStringLiteral("Liberation Mono"), 9);
  EXPECT_EQ(Look(&plain, &row, nullptr, true).font, row.Selected().font);
}
