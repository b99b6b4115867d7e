#include "ui/CColorListCtrl.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include "app/AppBase.h"
#include "ui/CColorHeaderCtrl.h"
#include "ui/CColorListDelegate.h"
#include "ui/CColorListModel.h"
#include "ui/ColorRef.h"

namespace {

// The part of a style record a change sets, and the value it sets it to.
enum ChangedField : uint64_t { kFlagsChange = 1, kTextColorChange = 2, kBkColorChange = 3 };

uint64_t ChangeId(ChangedField field, unsigned value) { return field << 32 | value; }

}  // namespace

CColorListCtrl::CColorListCtrl(QWidget* parent)
    : QTreeView(parent),
      m_model(new CColorListModel(this)),
      m_header(new CColorHeaderCtrl(this)),
      m_selectedBkColor(GetApp().GetSettings().GetClrHighlight()),
      m_selectedTextColor(GetApp().GetSettings().GetClrText()) {
  setHeader(m_header);
  setModel(m_model);
  setItemDelegate(new CColorListDelegate(this));
  // A flat report list: every row the same height, so only the rows in sight
  // are ever measured or drawn.
  setRootIsDecorated(false);
  setIndentation(0);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSortingEnabled(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Where the rows do not fit, a scroll bar shows where in the list one is.
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAutoFillBackground(false);
  connect(m_model, &CColorListModel::checkChanged, this, &CColorListCtrl::checkChanged);
}

CColorListCtrl::~CColorListCtrl() = default;

int CColorListCtrl::InsertColumn(const QString& caption, int column) {
  const int inserted = m_model->InsertColumn(column, caption);
  m_header->InsertCaption(inserted, caption);
  setColumnWidth(inserted, fontMetrics().horizontalAdvance(caption) + 15);
  return inserted;
}

int CColorListCtrl::GetColumnCount() const { return m_model->columnCount(); }

int CColorListCtrl::SetCellText(int row, int column, const QString& text) {
  if (column == 0) return m_model->InsertRow(row, text);
  return m_model->SetText(row, column, text) ? row : -1;
}

int CColorListCtrl::SetCellTextUtf8(int row, int column, std::string_view text) {
  if (column == 0) return m_model->InsertRow(row, text);
  return m_model->SetText(row, column, text) ? row : -1;
}

QString CColorListCtrl::GetItemText(int row, int column) const { return m_model->Text(row, column); }

int CColorListCtrl::GetItemCount() const { return m_model->rowCount(); }

void CColorListCtrl::DeleteAllItems() {
  m_itemValues.clear();
  m_model->RemoveAllRows();
}

void CColorListCtrl::BeginReplaceItems() {
  m_itemValues.clear();
  m_model->BeginReplaceRows();
}

void CColorListCtrl::EndReplaceItems() {
  m_itemValues.shrink_to_fit();
  m_model->EndReplaceRows();
}

void CColorListCtrl::SetItemValue(int row, int value) {
  if (row < 0 || row >= GetItemCount()) return;
  if (row >= static_cast<int>(m_itemValues.size())) m_itemValues.resize(row + 1, -1);
  m_itemValues[row] = value;
}

int CColorListCtrl::GetItemValue(int row) const {
  return row >= 0 && row < static_cast<int>(m_itemValues.size()) ? m_itemValues[row] : -1;
}

int CColorListCtrl::GetFirstSelectedRow() const {
  int first = -1;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    if (first < 0 || range.top() < first) first = range.top();
  }
  return first;
}

void CColorListCtrl::SelectRow(int row) {
  if (row < 0 || row >= GetItemCount()) return;
  selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CColorListCtrl::HitTestMessagePos() const {
  const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
  if (!viewport()->rect().contains(pos)) return -1;
  // Any point across a row's height hits the row, also right of the last column.
  const QModelIndex index = indexAt(QPoint(0, pos.y()));
  return index.isValid() ? index.row() : -1;
}

void CColorListCtrl::SetGridLines(bool on) {
  m_gridLines = on;
  viewport()->update();
}

void CColorListCtrl::SetCheckBoxes(bool on) { m_model->SetCheckBoxes(on); }

int CColorListCtrl::GetCheck(int row) const { return m_model->GetCheck(row); }

void CColorListCtrl::SetCheck(int row, bool checked) { m_model->SetCheck(row, checked); }

void CColorListCtrl::SetTextColor(int colorRef) {
  m_textColor = colorRef;
  viewport()->update();
}

int CColorListCtrl::GetTextColor() const { return m_textColor.value_or(GetApp().GetSettings().GetClrText()); }

void CColorListCtrl::SetTextBkColor(int colorRef) {
  m_textBkColor = colorRef;
  viewport()->update();
}

int CColorListCtrl::GetTextBkColor() const { return m_textBkColor.value_or(GetApp().GetSettings().GetClrBackground()); }

void CColorListCtrl::SetSelectedBkColor(int colorRef) {
  m_selectedBkColor = colorRef;
  viewport()->update();
}

void CColorListCtrl::SetSelectedTextColor(int colorRef) {
  m_selectedTextColor = colorRef;
  viewport()->update();
}

void CColorListCtrl::ChangeStyle(const StyleTarget& target, const std::function<void(iLS_item&)>& change,
                                 bool redraw, std::optional<uint64_t> changeId) {
  if (!m_model->ChangeStyle(target.level, target.row, target.column, target.selected, change, changeId)) return;
  Redraw(target, redraw);
}

void CColorListCtrl::Redraw(const StyleTarget& target, bool redraw) {
  if (!redraw) return;
  if (target.level == ListStyleLevel::kColumn) {
    viewport()->update();
  } else {
    m_model->RowChanged(target.row);
  }
}

void CColorListCtrl::ApplyFlags(const StyleTarget& target, unsigned flags, bool redraw) {
  ChangeStyle(target, [flags](iLS_item& record) { record.flags = flags; }, redraw, ChangeId(kFlagsChange, flags));
}

void CColorListCtrl::ApplyTextColor(const StyleTarget& target, int colorRef, bool redraw) {
  ChangeStyle(target, [colorRef](iLS_item& record) { record.textColor = colorRef; }, redraw,
              ChangeId(kTextColorChange, static_cast<unsigned>(colorRef)));
}

void CColorListCtrl::ApplyBkColor(const StyleTarget& target, int colorRef, bool redraw) {
  ChangeStyle(target, [colorRef](iLS_item& record) { record.bkColor = colorRef; }, redraw,
              ChangeId(kBkColorChange, static_cast<unsigned>(colorRef)));
}

void CColorListCtrl::ApplyFont(const StyleTarget& target, const QFont& font, bool redraw) {
  ChangeStyle(target, [&font](iLS_item& record) { record.font = font; }, redraw);
}

CellLook CColorListCtrl::GetCellLook(int row, int column, bool asSelectedRow) const {
  const CColorListModel::CellStyles styles = m_model->Styles(row, column);
  const ListColors colors{GetTextColor(), GetTextBkColor(), m_selectedTextColor, m_selectedBkColor};
  return ChooseCellLook(styles.cell, styles.row, styles.column, asSelectedRow, colors, font());
}

// The list's own frame over the style's: in the user's border colour, twice as
// wide while the list has the keyboard focus, and drawn inside the widget so
// that no scale factor rounds it away.
bool CColorListCtrl::event(QEvent* event) {
  const bool handled = QTreeView::event(event);
  if (event->type() == QEvent::Paint) {
    QPainter painter(this);
    const qreal width = hasFocus() ? 2.0 : 1.0;
    painter.setPen(QPen(ColorFromRef(GetApp().GetSettings().GetClrBorder()), width));
    painter.drawRect(QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2));
  }
  return handled;
}

void CColorListCtrl::focusInEvent(QFocusEvent* event) {
  QTreeView::focusInEvent(event);
  update();
}

void CColorListCtrl::focusOutEvent(QFocusEvent* event) {
  QTreeView::focusOutEvent(event);
  update();
}

void CColorListCtrl::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), ColorFromRef(GetTextBkColor()));
  }
  QTreeView::paintEvent(event);
}
