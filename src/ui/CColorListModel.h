#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/ListStyle.h"
#include "ui/ListTexts.h"

// The rows of a CColorListCtrl: each row's cell texts, check box and style
// records, and the column styles. A row is kept compact, for lists of a
// hundred thousand rows: its cells refer by number to texts kept as UTF-8 in
// one buffer (ListTexts) and to style records the list keeps once for every
// cell that looks alike, and so does the row itself. A cell's text and look
// are worked out from them only when it is drawn. Appending a row is
// amortised constant time.
class CColorListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CColorListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Adds an empty column at this position (clamped to the columns there are)
  // in every row; returns where it went.
  int InsertColumn(int column, const QString& caption = QString());
  // Adds a row with this first-column text; a position past the end appends.
  // Returns the row's index, or -1 while the list has no columns.
  int InsertRow(int row, const QString& text);
  // The same with a UTF-8 text, as records hold it: no QString is made.
  int InsertRow(int row, std::string_view utf8);
  // False for a cell that does not exist.
  bool SetText(int row, int column, const QString& text);
  bool SetText(int row, int column, std::string_view utf8);
  QString Text(int row, int column) const;
  void RemoveAllRows();
  // Replaces every row: BeginReplaceRows removes them, and until
  // EndReplaceRows the new ones are built without a word to the views, which
  // then read the list anew. Ten thousand rows are one change for them, not
  // tens of thousands. Check box changes are still announced. Equal texts
  // given meanwhile are kept once.
  void BeginReplaceRows();
  void EndReplaceRows();

  // Changes the style record of a cell, a row or a column (column is ignored
  // for a row, row for a column), or its selected variant, each made on first
  // use. False for an object that does not exist. A change given a changeId,
  // the same for every equal change, is worked out once per style record it
  // is given to: a refill styles thousands of rows alike.
  bool ChangeStyle(ListStyleLevel level, int row, int column, bool selected,
                   const std::function<void(iLS_item&)>& change, std::optional<uint64_t> changeId = {});
  // The cell's style and those of its row and column, as far as they exist.
  struct CellStyles {
    const iLS_item* cell = nullptr;
    const iLS_item* row = nullptr;
    const iLS_item* column = nullptr;
  };
  CellStyles Styles(int row, int column) const;

  // Whether rows show a check box in their first column.
  void SetCheckBoxes(bool on);
  // 1 ticked, 0 not; 0 for a row that does not exist.
  int GetCheck(int row) const;
  // Ticks or clears a row's check box; a change is announced by checkChanged.
  void SetCheck(int row, bool checked);

  // Asks the views to draw the row again.
  void RowChanged(int row);

 signals:
  // A row's check box changed, by the user or by SetCheck: old and new state, 0 or 1.
  void checkChanged(int row, int oldState, int newState);

 private:
  // Style numbers: a row without a style of its own has none.
  static constexpr uint32_t kPlainStyle = 0;
  static constexpr uint32_t kNoStyle = UINT32_MAX;

  bool IsCell(int row, int column) const;
  int InsertRow(int row, ListTexts::Handle text);
  bool SetText(int row, int column, ListTexts::Handle text);
  size_t CellAt(int row, int column) const { return static_cast<size_t>(row) * m_columnStyles.size() + column; }
  // The number of the style record equal to this one, added when new.
  uint32_t Intern(const iLS_item& style);

  ListTexts m_texts;
  std::vector<ListTexts::Handle> m_cellTexts;  // row by row, a text per column
  std::vector<uint32_t> m_cellStyles;  // likewise, a style number per cell
  std::vector<uint32_t> m_rowStyles;   // a style number per row, or kNoStyle
  std::vector<bool> m_checked;
  // Every style record in use, each once; its number is its place here, and a
  // deque keeps the records where they are while more are added.
  std::deque<iLS_item> m_styles;
  std::unordered_multimap<size_t, uint32_t> m_styleNumbers;  // by the record's hash
  // What a change with an id made of a style number: by the number, whether
  // the selected variant changed, and the change's id.
  struct Transition {
    uint32_t from;
    bool selected;
    uint64_t change;
    bool operator==(const Transition&) const = default;
  };
  struct TransitionHash {
    size_t operator()(const Transition& t) const;
  };
  std::unordered_map<Transition, uint32_t, TransitionHash> m_transitions;
  std::vector<std::unique_ptr<iLS_item>> m_columnStyles;
  QStringList m_captions;
  bool m_checkBoxes = false;
  bool m_replacing = false;
};
