#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "ui/ListStyle.h"

// The rows of a CColorListCtrl: each row's cell texts, check box and style
// records, and the column styles. Rows are kept in one array, so appending a
// row is amortised constant time whatever the list already holds.
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
  // False for a cell that does not exist.
  bool SetText(int row, int column, const QString& text);
  QString Text(int row, int column) const;
  void RemoveAllRows();

  // The style record of a cell, a row or a column (column is ignored for a row,
  // row for a column), or its selected variant; made on first use. Null for an
  // object that does not exist.
  iLS_item* StyleRecord(ListStyleLevel level, int row, int column, bool selected);
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
  // The first cell's style stands for the row's own record.
  struct Cell {
    QString text;
    iLS_item style;
  };
  struct Row {
    std::vector<Cell> cells;
    std::unique_ptr<iLS_item> rowStyle;
    bool checked = false;
  };

  bool IsCell(int row, int column) const;

  std::vector<Row> m_rows;
  std::vector<std::unique_ptr<iLS_item>> m_columnStyles;
  QStringList m_captions;
  bool m_checkBoxes = false;
};
