#pragma once

#include <QTreeView>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/ListStyle.h"

class CColorHeaderCtrl;
class CColorListModel;

// The report list every record view shows. Text colour, background colour,
// font style and font can be given to a cell, a row or a column, each with a
// variant for the selected row; the first selected row is drawn in the list's
// own selected colours (by default the user's text on the user's highlight)
// rather than the style's highlight. Each row can carry a value (the id of the
// record it shows). The list never sorts; a vertical scroll bar shows when the
// rows do not fit.
//
// Rows and columns are zero-based. A redraw argument asks for the row (or,
// for a column style, the whole list) to be drawn again at once.
class CColorListCtrl : public QTreeView {
  Q_OBJECT

 public:
  explicit CColorListCtrl(QWidget* parent = nullptr);
  ~CColorListCtrl() override;

  CColorHeaderCtrl* GetHeaderCtrl() const { return m_header; }

  // Adds a column with this caption at this position, as wide as the caption
  // in the list's font and 15 pixels more. Returns its index.
  int InsertColumn(const QString& caption, int column);
  int GetColumnCount() const;

  // Column 0 inserts a new row with this text at this position (past the end
  // appends); any other column sets the text of an existing cell. Returns the
  // row's index, or -1 when nothing was done.
  int SetCellText(int row, int column, const QString& text);
  // The same with a UTF-8 text, as records hold it, for filling long lists.
  int SetCellTextUtf8(int row, int column, std::string_view text);
  QString GetItemText(int row, int column) const;
  int GetItemCount() const;
  // Removes every row with its styles and values; columns and column styles stay.
  void DeleteAllItems();
  // DeleteAllItems, after which the rows added until EndReplaceItems reach
  // the view (and screen readers) as one change: for refilling long lists.
  void BeginReplaceItems();
  void EndReplaceItems();

  // The value a row carries, for a row that exists; -1 for a row without one.
  void SetItemValue(int row, int value);
  int GetItemValue(int row) const;

  // The first selected row, or -1.
  int GetFirstSelectedRow() const;
  // Selects the row alone and makes it the current row.
  void SelectRow(int row);
  // The row under the mouse pointer, or -1.
  int HitTestMessagePos() const;

  void SetGridLines(bool on);
  bool HasGridLines() const { return m_gridLines; }
  // Check boxes in the first column; every change is announced by checkChanged.
  void SetCheckBoxes(bool on);
  int GetCheck(int row) const;
  void SetCheck(int row, bool checked);

  // The list's text and text background colours. Until set they follow the
  // user's text and background colours.
  void SetTextColor(int colorRef);
  int GetTextColor() const;
  void SetTextBkColor(int colorRef);
  int GetTextBkColor() const;
  // Colours of the first selected row before any selected style applies.
  void SetSelectedBkColor(int colorRef);
  void SetSelectedTextColor(int colorRef);

  void SetCellStyle(int row, int column, unsigned flags, bool redraw = true) {
    ApplyFlags({ListStyleLevel::kCell, row, column, false}, flags, redraw);
  }
  void SetCellTextColor(int row, int column, int colorRef, bool redraw = true) {
    ApplyTextColor({ListStyleLevel::kCell, row, column, false}, colorRef, redraw);
  }
  void SetCellBkColor(int row, int column, int colorRef, bool redraw = true) {
    ApplyBkColor({ListStyleLevel::kCell, row, column, false}, colorRef, redraw);
  }
  void SetCellFont(int row, int column, const QFont& font, bool redraw = true) {
    ApplyFont({ListStyleLevel::kCell, row, column, false}, font, redraw);
  }
  void SetCellSelectedStyle(int row, int column, unsigned flags, bool redraw = true) {
    ApplyFlags({ListStyleLevel::kCell, row, column, true}, flags, redraw);
  }
  void SetCellSelectedTextColor(int row, int column, int colorRef, bool redraw = true) {
    ApplyTextColor({ListStyleLevel::kCell, row, column, true}, colorRef, redraw);
  }
  void SetCellSelectedBkColor(int row, int column, int colorRef, bool redraw = true) {
    ApplyBkColor({ListStyleLevel::kCell, row, column, true}, colorRef, redraw);
  }
  void SetCellSelectedFont(int row, int column, const QFont& font, bool redraw = true) {
    ApplyFont({ListStyleLevel::kCell, row, column, true}, font, redraw);
  }

  void SetRowStyle(int row, unsigned flags, bool redraw = true) {
    ApplyFlags({ListStyleLevel::kRow, row, 0, false}, flags, redraw);
  }
  void SetRowTextColor(int row, int colorRef, bool redraw = true) {
    ApplyTextColor({ListStyleLevel::kRow, row, 0, false}, colorRef, redraw);
  }
  void SetRowBkColor(int row, int colorRef, bool redraw = true) {
    ApplyBkColor({ListStyleLevel::kRow, row, 0, false}, colorRef, redraw);
  }
  void SetRowFont(int row, const QFont& font, bool redraw = true) {
    ApplyFont({ListStyleLevel::kRow, row, 0, false}, font, redraw);
  }
  void SetRowSelectedStyle(int row, unsigned flags, bool redraw = true) {
    ApplyFlags({ListStyleLevel::kRow, row, 0, true}, flags, redraw);
  }
  void SetRowSelectedTextColor(int row, int colorRef, bool redraw = true) {
    ApplyTextColor({ListStyleLevel::kRow, row, 0, true}, colorRef, redraw);
  }
  void SetRowSelectedBkColor(int row, int colorRef, bool redraw = true) {
    ApplyBkColor({ListStyleLevel::kRow, row, 0, true}, colorRef, redraw);
  }
  void SetRowSelectedFont(int row, const QFont& font, bool redraw = true) {
    ApplyFont({ListStyleLevel::kRow, row, 0, true}, font, redraw);
  }

  void SetColumnStyle(int column, unsigned flags, bool redraw = true) {
    ApplyFlags({ListStyleLevel::kColumn, 0, column, false}, flags, redraw);
  }
  void SetColumnTextColor(int column, int colorRef, bool redraw = true) {
    ApplyTextColor({ListStyleLevel::kColumn, 0, column, false}, colorRef, redraw);
  }
  void SetColumnBkColor(int column, int colorRef, bool redraw = true) {
    ApplyBkColor({ListStyleLevel::kColumn, 0, column, false}, colorRef, redraw);
  }
  void SetColumnFont(int column, const QFont& font, bool redraw = true) {
    ApplyFont({ListStyleLevel::kColumn, 0, column, false}, font, redraw);
  }
  void SetColumnSelectedStyle(int column, unsigned flags, bool redraw = true) {
    ApplyFlags({ListStyleLevel::kColumn, 0, column, true}, flags, redraw);
  }
  void SetColumnSelectedTextColor(int column, int colorRef, bool redraw = true) {
    ApplyTextColor({ListStyleLevel::kColumn, 0, column, true}, colorRef, redraw);
  }
  void SetColumnSelectedBkColor(int column, int colorRef, bool redraw = true) {
    ApplyBkColor({ListStyleLevel::kColumn, 0, column, true}, colorRef, redraw);
  }
  void SetColumnSelectedFont(int column, const QFont& font, bool redraw = true) {
    ApplyFont({ListStyleLevel::kColumn, 0, column, true}, font, redraw);
  }

  // How a cell is drawn, drawn as the selected row or not.
  CellLook GetCellLook(int row, int column, bool asSelectedRow) const;

 signals:
  // A row's check box changed, by the user or by SetCheck: old and new state, 0 or 1.
  void checkChanged(int row, int oldState, int newState);

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct StyleTarget {
    ListStyleLevel level;
    int row;
    int column;
    bool selected;
  };
  void ApplyFlags(const StyleTarget& target, unsigned flags, bool redraw);
  void ApplyTextColor(const StyleTarget& target, int colorRef, bool redraw);
  void ApplyBkColor(const StyleTarget& target, int colorRef, bool redraw);
  void ApplyFont(const StyleTarget& target, const QFont& font, bool redraw);
  // changeId tells equal changes of flags or a colour apart (see CColorListModel::ChangeStyle).
  void ChangeStyle(const StyleTarget& target, const std::function<void(iLS_item&)>& change, bool redraw,
                   std::optional<uint64_t> changeId = {});
  void Redraw(const StyleTarget& target, bool redraw);

  CColorListModel* m_model;
  CColorHeaderCtrl* m_header;
  bool m_gridLines = false;
  std::optional<int> m_textColor;
  std::optional<int> m_textBkColor;
  int m_selectedBkColor;
  int m_selectedTextColor;
  std::vector<int> m_itemValues;
};
