#include "ui/CColorListDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>

#include "ui/CColorListCtrl.h"
#include "ui/ClippedText.h"
#include "ui/ColorRef.h"

CColorListDelegate::CColorListDelegate(CColorListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

QStyleOptionViewItem CColorListDelegate::CellOption(const QStyleOptionViewItem& option, const QModelIndex& index,
                                                    CellLook* look) const {
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  const bool selected = cell.state & QStyle::State_Selected;
  *look = m_list->GetCellLook(index.row(), index.column(), selected && OwnColors(cell, index));
  if (look->font) {
    cell.font = *look->font;
    cell.fontMetrics = QFontMetrics(cell.font);
  }
  // A text too long for its cell ends in an ellipsis (the style cuts it).
  cell.textElideMode = Qt::ElideRight;
  return cell;
}

// Only the first selected row is drawn in the list's own colours; any other
// keeps the style's highlight.
bool CColorListDelegate::OwnColors(const QStyleOptionViewItem& cell, const QModelIndex& index) const {
  return !(cell.state & QStyle::State_Selected) || index.row() == m_list->GetFirstSelectedRow();
}

void CColorListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  CellLook look;
  QStyleOptionViewItem cell = CellOption(option, index, &look);
  const bool ownColors = OwnColors(cell, index);
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

bool CColorListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
  CellLook look;
  const QStyleOptionViewItem cell = CellOption(option, index, &look);
  const QStyle* style = view ? view->style() : QApplication::style();
  const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view);
  // The style keeps a margin on each side of the text.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  return ShowTipIfClipped(event, view, cell.fontMetrics, cell.text, text.width() - 2 * margin);
}

QSize CColorListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // A little air above and below the text keeps descenders off the grid lines.
  return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 4);
}
