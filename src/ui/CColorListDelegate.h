#pragma once

#include <QStyledItemDelegate>

#include "ui/ListStyle.h"

class CColorListCtrl;

// Paints the cells of a CColorListCtrl in the colours and fonts their styles
// choose, the list's first selected row in the list's own selected colours,
// and the grid lines.
class CColorListDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CColorListDelegate(CColorListCtrl* list);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // A tooltip with the whole text of a cell that was cut short.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  QStyleOptionViewItem CellOption(const QStyleOptionViewItem& option, const QModelIndex& index, CellLook* look) const;
  bool OwnColors(const QStyleOptionViewItem& cell, const QModelIndex& index) const;

  CColorListCtrl* m_list;
};
