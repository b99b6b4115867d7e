#include "ui/CColorListModel.h"

#include <QHash>
#include <algorithm>

namespace {

iLS_item Copy(const iLS_item& style) {
  iLS_item copy{style.flags, style.textColor, style.bkColor, style.font, nullptr};
  if (style.selected) copy.selected = std::make_unique<iLS_item>(Copy(*style.selected));
  return copy;
}

bool Same(const iLS_item* a, const iLS_item* b) {
  if (!a || !b) return a == b;
  return a->flags == b->flags && a->textColor == b->textColor && a->bkColor == b->bkColor && a->font == b->font &&
         Same(a->selected.get(), b->selected.get());
}

size_t Hash(const iLS_item* style) {
  if (!style) return 0;
  size_t hash = qHashMulti(0, style->flags, style->textColor, style->bkColor, style->font.has_value());
  if (style->font) hash = qHashMulti(hash, *style->font);
  return qHashMulti(hash, Hash(style->selected.get()));
}

}  // namespace

CColorListModel::CColorListModel(QObject* parent) : QAbstractTableModel(parent) { Intern(iLS_item()); }

int CColorListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rowStyles.size());
}

int CColorListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_columnStyles.size());
}

bool CColorListModel::IsCell(int row, int column) const {
  return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

QVariant CColorListModel::data(const QModelIndex& index, int role) const {
  if (!IsCell(index.row(), index.column())) return {};
  if (role == Qt::DisplayRole) return m_texts.Get(m_cellTexts[CellAt(index.row(), index.column())]);
  if (role == Qt::CheckStateRole && m_checkBoxes && index.column() == 0) {
    return m_checked[index.row()] ? Qt::Checked : Qt::Unchecked;
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
  // Columns are set up before the rows come; should rows be there, each gets its new cell.
  const size_t columns = m_columnStyles.size();
  for (size_t row = m_rowStyles.size(); row-- > 0;) {
    m_cellTexts.insert(m_cellTexts.begin() + static_cast<std::ptrdiff_t>(row * columns + column), ListTexts::kEmpty);
    m_cellStyles.insert(m_cellStyles.begin() + static_cast<std::ptrdiff_t>(row * columns + column), kPlainStyle);
  }
  m_columnStyles.insert(m_columnStyles.begin() + column, nullptr);
  endInsertColumns();
  return column;
}

int CColorListModel::InsertRow(int row, const QString& text) {
  return columnCount() == 0 ? -1 : InsertRow(row, m_texts.Add(text));
}

int CColorListModel::InsertRow(int row, std::string_view utf8) {
  return columnCount() == 0 ? -1 : InsertRow(row, m_texts.Add(utf8));
}

int CColorListModel::InsertRow(int row, ListTexts::Handle text) {
  row = std::clamp(row, 0, rowCount());
  if (!m_replacing) beginInsertRows(QModelIndex(), row, row);
  const auto first = static_cast<std::ptrdiff_t>(CellAt(row, 0));
  const size_t columns = m_columnStyles.size();
  m_cellTexts.insert(m_cellTexts.begin() + first, columns, ListTexts::kEmpty);
  m_cellTexts[static_cast<size_t>(first)] = text;
  m_cellStyles.insert(m_cellStyles.begin() + first, columns, kPlainStyle);
  m_rowStyles.insert(m_rowStyles.begin() + row, kNoStyle);
  m_checked.insert(m_checked.begin() + row, false);
  if (!m_replacing) endInsertRows();
  return row;
}

bool CColorListModel::SetText(int row, int column, const QString& text) {
  return IsCell(row, column) && SetText(row, column, m_texts.Add(text));
}

bool CColorListModel::SetText(int row, int column, std::string_view utf8) {
  return IsCell(row, column) && SetText(row, column, m_texts.Add(utf8));
}

bool CColorListModel::SetText(int row, int column, ListTexts::Handle text) {
  ListTexts::Handle& cell = m_cellTexts[CellAt(row, column)];
  m_texts.Release(cell);
  cell = text;
  // Texts changed one by one, outside a refill, leave their old bytes behind.
  if (m_texts.WantsCompacting()) m_texts.Compact(m_cellTexts);
  if (m_replacing) return true;
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
  return true;
}

QString CColorListModel::Text(int row, int column) const {
  return IsCell(row, column) ? m_texts.Get(m_cellTexts[CellAt(row, column)]) : QString();
}

void CColorListModel::RemoveAllRows() {
  BeginReplaceRows();
  EndReplaceRows();
}

void CColorListModel::BeginReplaceRows() {
  beginResetModel();
  m_replacing = true;
  m_texts.Clear();
  m_texts.StartSharing();
  m_cellTexts.clear();
  m_cellStyles.clear();
  m_rowStyles.clear();
  m_checked.clear();
  // The styles of the rows go with them; the plain style stays number 0.
  m_styles.clear();
  m_styleNumbers.clear();
  m_transitions.clear();
  Intern(iLS_item());
}

void CColorListModel::EndReplaceRows() {
  m_replacing = false;
  // The rows are all there: no room kept for more.
  m_texts.StopSharing();
  m_cellTexts.shrink_to_fit();
  m_cellStyles.shrink_to_fit();
  m_rowStyles.shrink_to_fit();
  m_checked.shrink_to_fit();
  endResetModel();
}

uint32_t CColorListModel::Intern(const iLS_item& style) {
  const size_t hash = Hash(&style);
  const auto [first, last] = m_styleNumbers.equal_range(hash);
  for (auto found = first; found != last; ++found) {
    if (Same(&m_styles[found->second], &style)) return found->second;
  }
  const auto number = static_cast<uint32_t>(m_styles.size());
  m_styles.push_back(Copy(style));
  m_styleNumbers.emplace(hash, number);
  return number;
}

size_t CColorListModel::TransitionHash::operator()(const Transition& t) const {
  return qHashMulti(0, t.from, t.selected, t.change);
}

bool CColorListModel::ChangeStyle(ListStyleLevel level, int row, int column, bool selected,
                                  const std::function<void(iLS_item&)>& change, std::optional<uint64_t> changeId) {
  if (level == ListStyleLevel::kColumn) {
    if (column < 0 || column >= columnCount()) return false;
    std::unique_ptr<iLS_item>& style = m_columnStyles[column];
    if (!style) style = std::make_unique<iLS_item>();
    change(selected ? style->Selected() : *style);
    return true;
  }
  const bool isRow = level == ListStyleLevel::kRow;
  if (!IsCell(row, isRow ? 0 : column)) return false;
  // A shared record is never changed in place: the changed copy gets its own number.
  uint32_t& number = isRow ? m_rowStyles[row] : m_cellStyles[CellAt(row, column)];
  const Transition transition{number, selected, changeId.value_or(0)};
  if (changeId) {
    const auto known = m_transitions.find(transition);
    if (known != m_transitions.end()) {
      number = known->second;
      return true;
    }
  }
  iLS_item changed = number == kNoStyle ? iLS_item() : Copy(m_styles[number]);
  change(selected ? changed.Selected() : changed);
  number = Intern(changed);
  if (changeId) m_transitions.emplace(transition, number);
  return true;
}

CColorListModel::CellStyles CColorListModel::Styles(int row, int column) const {
  if (!IsCell(row, column)) return {};
  const uint32_t rowStyle = m_rowStyles[row];
  return {&m_styles[m_cellStyles[CellAt(row, column)]], rowStyle == kNoStyle ? nullptr : &m_styles[rowStyle],
          m_columnStyles[column].get()};
}

void CColorListModel::SetCheckBoxes(bool on) {
  if (on == m_checkBoxes) return;
  m_checkBoxes = on;
  if (!m_replacing && rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

int CColorListModel::GetCheck(int row) const { return IsCell(row, 0) && m_checked[row] ? 1 : 0; }

void CColorListModel::SetCheck(int row, bool checked) {
  if (!IsCell(row, 0) || m_checked[row] == checked) return;
  m_checked[row] = checked;
  if (!m_replacing) {
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
  }
  emit checkChanged(row, checked ? 0 : 1, checked ? 1 : 0);
}

void CColorListModel::RowChanged(int row) {
  if (!m_replacing && IsCell(row, 0)) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}
