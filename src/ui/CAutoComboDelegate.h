#pragma once

#include <QStyledItemDelegate>

class CAutoCombo;

// Paints the rows of a CAutoCombo's list: the item in the combo's item font
// and colours, and with two columns each row's own second text beside it.
class CAutoComboDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CAutoComboDelegate(CAutoCombo* combo);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // A tooltip with the whole text of a cell that was cut short.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  CAutoCombo* m_combo;
};
