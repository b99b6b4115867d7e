#pragma once

#include <QFont>
#include <memory>
#include <optional>

// Style flags of a colour list's style record.
enum ListStyleFlag : unsigned {
  kLsBold = 0x01,
  kLsItalic = 0x02,
  kLsUnderline = 0x04,
  kLsStrikeOut = 0x08,
  kLsFontBits = 0x0F,
  kLsTextColor = 0x10,
  kLsBkColor = 0x20,
  kLsNoColumnStyle = 0x40,  // on a cell or row style: the column style is not used
  kLsNoRowStyle = 0x80,     // on a cell or column style: the row style is not used
};

// The objects a style can be given to in a colour list.
enum class ListStyleLevel { kCell, kRow, kColumn };

// The style of a cell, a row or a column: flags, colours and an explicit font,
// with the variant used while its row is drawn as the selected row.
struct iLS_item {
  unsigned flags = 0;
  int textColor = 0;
  int bkColor = 0;
  std::optional<QFont> font;
  std::unique_ptr<iLS_item> selected;

  bool NeedsFont() const { return (flags & kLsFontBits) != 0; }
  // The selected variant, made on first use.
  iLS_item& Selected();
};

// The list-wide colours a cell starts from before its styles are applied.
struct ListColors {
  int text;
  int background;
  int selectedText;
  int selectedBackground;
};

// How one cell is drawn; no font means the list's own font.
struct CellLook {
  int textColor;
  int bkColor;
  std::optional<QFont> font;
};

// Chooses colours and font of a cell from its own style, its row's style and
// its column's style (each may be missing). A cell style is always given in the
// list; the others only once styled. On the row drawn as the selected row the
// selected variants take their place: for colours always, for the font only
// when the variant has a font of its own.
//
// Precedence: the cell wins over the row and the row over the column, unless
// 0x40 on the cell or the row style shuts out the column style, or 0x80 on the
// cell or the column style shuts out the row style. A style's font is its
// explicit font, or else the list's font changed by its four font bits (weight
// 700 for bold and 400 otherwise, whatever the list's weight). Several fonts
// are combined, each property taken from the most specific font that changes it.
CellLook ChooseCellLook(const iLS_item* cell, const iLS_item* row, const iLS_item* column, bool selectedRow,
                        const ListColors& colors, const QFont& listFont);
