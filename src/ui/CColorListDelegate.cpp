#include "ui/CColorListDelegate.h"

#include <QApplication>
#include <QPainter>

#include "ui/CColorListCtrl.h"
#include "ui/ColorRef.h"

CColorListDelegate::CColorListDelegate(CColorListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

void CColorListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  const bool selected = cell.state & QStyle::State_Selected;
  // Only the first selected row is drawn in the list's own colours; any other
  // keeps the style's highlight.
  const bool ownColors = !selected || index.row() == m_list->GetFirstSelectedRow();
  const CellLook look = m_list->GetCellLook(index.row(), index.column(), selected && ownColors);
  if (look.font) {
    cell.font = *look.font;
    cell.fontMetrics = QFontMetrics(cell.font);
  }
  // The selected row shows where the user is; a focus frame would tint the cells.
  cell.state &= ~QStyle::State_HasFocus;
  if (ownColors) {
    cell.state &= ~QStyle::State_Selected;
    cell.backgroundBrush = ColorFromRef(look.bkColor);
    cell.palette.setColor(QPalette::Text, ColorFromRef(look.textColor));
  }
  const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);

  if (m_list->HasGridLines()) {
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    const QRect& r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
  }
}

QSize CColorListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // A little air above and below the text keeps descenders off the grid lines.
  return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 4);
}
