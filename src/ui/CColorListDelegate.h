#pragma once

#include <QStyledItemDelegate>

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

 private:
  CColorListCtrl* m_list;
};
