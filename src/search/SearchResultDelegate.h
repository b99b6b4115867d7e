#pragma once

#include <QStyledItemDelegate>

// Draws a search result in two lines: the kind and the record's title, and
// under them the part of the text that matched, the match itself marked.
class SearchResultDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
