#include "ui/ListStyle.h"

namespace {

struct Allowed {
  bool column;
  bool row;
};

// The switches are read in a fixed order: the cell first, then the row style
// (only while both styles are still allowed), then the column style likewise.
Allowed Switches(const iLS_item* cell, const iLS_item* row, const iLS_item* column) {
  Allowed allowed{!(cell && (cell->flags & kLsNoColumnStyle)), !(cell && (cell->flags & kLsNoRowStyle))};
  if (row && allowed.column && allowed.row) allowed.column = !(row->flags & kLsNoColumnStyle);
  if (column && allowed.column && allowed.row) allowed.row = !(column->flags & kLsNoRowStyle);
  return allowed;
}

const iLS_item* ColorRecord(const iLS_item* record, bool selectedRow) {
  if (!selectedRow) return record;
  return record ? record->selected.get() : nullptr;
}

// A selected variant without a font of its own leaves the font to the normal record.
const iLS_item* FontRecord(const iLS_item* record, bool selectedRow) {
  if (!selectedRow || !record) return record;
  const iLS_item* variant = record->selected.get();
  return variant && (variant->NeedsFont() || variant->font) ? variant : record;
}

int ChooseColor(int start, unsigned flag, const iLS_item* cell, const iLS_item* row, const iLS_item* column,
                Allowed allowed, int iLS_item::*color) {
  if (cell && (cell->flags & flag)) return cell->*color;
  if (row && allowed.row && (row->flags & flag)) return row->*color;
  if (column && allowed.column && (column->flags & flag)) return column->*color;
  return start;
}

QFont FontFromStyleBits(const QFont& listFont, unsigned flags) {
  QFont font = listFont;
  font.setWeight((flags & kLsBold) ? QFont::Bold : QFont::Normal);
  font.setItalic(flags & kLsItalic);
  font.setUnderline(flags & kLsUnderline);
  font.setStrikeOut(flags & kLsStrikeOut);
  return font;
}

std::optional<QFont> RecordFont(const iLS_item* record, const QFont& listFont) {
  if (!record) return std::nullopt;
  if (record->font) return record->font;
  if (record->NeedsFont()) return FontFromStyleBits(listFont, record->flags);
  return std::nullopt;
}

// Takes from font each property in which it differs from the list's font.
void LayOver(QFont& result, const QFont& listFont, const QFont& font) {
  if (font.family() != listFont.family()) result.setFamily(font.family());
  if (font.pixelSize() != listFont.pixelSize() || font.pointSizeF() != listFont.pointSizeF()) {
    if (font.pixelSize() > 0) {
      result.setPixelSize(font.pixelSize());
    } else {
      result.setPointSizeF(font.pointSizeF());
    }
  }
  if (font.stretch() != listFont.stretch()) result.setStretch(font.stretch());
  if (font.weight() != listFont.weight()) result.setWeight(font.weight());
  if (font.italic() != listFont.italic()) result.setItalic(font.italic());
  if (font.underline() != listFont.underline()) result.setUnderline(font.underline());
  if (font.strikeOut() != listFont.strikeOut()) result.setStrikeOut(font.strikeOut());
  if (font.styleHint() != listFont.styleHint() || font.styleStrategy() != listFont.styleStrategy()) {
    result.setStyleHint(font.styleHint(), font.styleStrategy());
  }
}

}  // namespace

iLS_item& iLS_item::Selected() {
  if (!selected) selected = std::make_unique<iLS_item>();
  return *selected;
}

CellLook ChooseCellLook(const iLS_item* cell, const iLS_item* row, const iLS_item* column, bool selectedRow,
                        const ListColors& colors, const QFont& listFont) {
  const iLS_item* c = ColorRecord(cell, selectedRow);
  const iLS_item* w = ColorRecord(row, selectedRow);
  const iLS_item* k = ColorRecord(column, selectedRow);
  Allowed allowed = Switches(c, w, k);
  CellLook look;
  look.textColor = ChooseColor(selectedRow ? colors.selectedText : colors.text, kLsTextColor, c, w, k, allowed,
                               &iLS_item::textColor);
  look.bkColor = ChooseColor(selectedRow ? colors.selectedBackground : colors.background, kLsBkColor, c, w, k, allowed,
                             &iLS_item::bkColor);

  c = FontRecord(cell, selectedRow);
  w = FontRecord(row, selectedRow);
  k = FontRecord(column, selectedRow);
  allowed = Switches(c, w, k);
  // Laid over in this order, so the most specific font has the last word.
  const std::optional<QFont> fonts[] = {allowed.column ? RecordFont(k, listFont) : std::nullopt,
                                        allowed.row ? RecordFont(w, listFont) : std::nullopt, RecordFont(c, listFont)};
  QFont combined = listFont;
  int count = 0;
  for (const std::optional<QFont>& font : fonts) {
    if (!font) continue;
    LayOver(combined, listFont, *font);
    look.font = font;
    ++count;
  }
  if (count > 1) look.font = combined;
  return look;
}
