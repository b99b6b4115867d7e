#include "ui/CColorListModel.h"

#include <algorithm>

CColorListModel::CColorListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CColorListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CColorListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_columnStyles.size());
}

bool CColorListModel::IsCell(int row, int column) const {
  return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

QVariant CColorListModel::data(const QModelIndex& index, int role) const {
  if (!IsCell(index.row(), index.column())) return {};
  const Row& row = m_rows[index.row()];
  if (role == Qt::DisplayRole) return row.cells[index.column()].text;
  if (role == Qt::CheckStateRole && m_checkBoxes && index.column() == 0) {
    return row.checked ? Qt::Checked : Qt::Unchecked;
  }
  return {};
}

// The header draws the captions itself; screen readers read them here.
QVariant CColorListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size()) {
    return m_captions[section];
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

bool CColorListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !m_checkBoxes || index.column() != 0 || !IsCell(index.row(), 0)) return false;
  SetCheck(index.row(), value.toInt() == Qt::Checked);
  return true;
}

Qt::ItemFlags CColorListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (m_checkBoxes && index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

int CColorListModel::InsertColumn(int column, const QString& caption) {
  column = std::clamp(column, 0, columnCount());
  beginInsertColumns(QModelIndex(), column, column);
  m_captions.insert(column, caption);
  for (Row& row : m_rows) row.cells.insert(row.cells.begin() + column, Cell());
  m_columnStyles.insert(m_columnStyles.begin() + column, nullptr);
  endInsertColumns();
  return column;
}

int CColorListModel::InsertRow(int row, const QString& text) {
  if (columnCount() == 0) return -1;
  row = std::clamp(row, 0, rowCount());
  beginInsertRows(QModelIndex(), row, row);
  Row added;
  added.cells.resize(m_columnStyles.size());
  added.cells[0].text = text;
  m_rows.insert(m_rows.begin() + row, std::move(added));
  endInsertRows();
  return row;
}

bool CColorListModel::SetText(int row, int column, const QString& text) {
  if (!IsCell(row, column)) return false;
  m_rows[row].cells[column].text = text;
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
  return true;
}

QString CColorListModel::Text(int row, int column) const {
  return IsCell(row, column) ? m_rows[row].cells[column].text : QString();
}

void CColorListModel::RemoveAllRows() {
  beginResetModel();
  m_rows.clear();
  endResetModel();
}

iLS_item* CColorListModel::StyleRecord(ListStyleLevel level, int row, int column, bool selected) {
  iLS_item* record = nullptr;
  switch (level) {
    case ListStyleLevel::kCell:
      if (IsCell(row, column)) record = &m_rows[row].cells[column].style;
      break;
    case ListStyleLevel::kRow:
      if (IsCell(row, 0)) {
        std::unique_ptr<iLS_item>& style = m_rows[row].rowStyle;
        if (!style) style = std::make_unique<iLS_item>();
        record = style.get();
      }
      break;
    case ListStyleLevel::kColumn:
      if (column >= 0 && column < columnCount()) {
        std::unique_ptr<iLS_item>& style = m_columnStyles[column];
        if (!style) style = std::make_unique<iLS_item>();
        record = style.get();
      }
      break;
  }
  return record && selected ? &record->Selected() : record;
}

CColorListModel::CellStyles CColorListModel::Styles(int row, int column) const {
  if (!IsCell(row, column)) return {};
  const Row& r = m_rows[row];
  return {&r.cells[column].style, r.rowStyle.get(), m_columnStyles[column].get()};
}

void CColorListModel::SetCheckBoxes(bool on) {
  if (on == m_checkBoxes) return;
  m_checkBoxes = on;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

int CColorListModel::GetCheck(int row) const { return IsCell(row, 0) && m_rows[row].checked ? 1 : 0; }

void CColorListModel::SetCheck(int row, bool checked) {
  if (!IsCell(row, 0) || m_rows[row].checked == checked) return;
  m_rows[row].checked = checked;
  const QModelIndex changed = index(row, 0);
  emit dataChanged(changed, changed, {Qt::CheckStateRole});
  emit checkChanged(row, checked ? 0 : 1, checked ? 1 : 0);
}

void CColorListModel::RowChanged(int row) {
  if (IsCell(row, 0)) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}
