#include "ui/CAutoComboDelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>

#include "ui/CAutoCombo.h"
#include "ui/ClippedText.h"

CAutoComboDelegate::CAutoComboDelegate(CAutoCombo* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

void CAutoComboDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int item = m_combo->FullIndexOfRow(index.row());
  if (item < 0) return;
  const bool selected = option.state & QStyle::State_Selected;
  painter->save();
  painter->fillRect(option.rect, selected ? m_combo->ItemColor(CAutoCombo::kColorSelectedBackground) : option.palette.color(QPalette::Base));
  painter->setFont(m_combo->ItemFont());

  const QRect row = option.rect.adjusted(5, 2, 0, 0);
  QRect first = row;
  // The first column stops short of the second, so long items do not run into it.
  if (m_combo->HasTwoColumns()) first.setRight(option.rect.left() + m_combo->SecondColumnOffset() - 5);
  painter->setPen(m_combo->ItemColor(selected ? CAutoCombo::kColorSelectedText : CAutoCombo::kColorText));
  painter->drawText(first, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    ElidedText(painter->fontMetrics(), m_combo->ItemText(item), first.width()));

  if (m_combo->HasTwoColumns()) {
    QRect second = option.rect.adjusted(m_combo->SecondColumnOffset(), 2, 0, 0);
    painter->setPen(m_combo->ItemColor(selected ? CAutoCombo::kColorSelectedSecondText : CAutoCombo::kColorSecondText));
    painter->drawText(second, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      ElidedText(painter->fontMetrics(), m_combo->SecondText(item), second.width()));
  }
  painter->restore();
}

// The whole text of a row cut short: the first column's, or the second's.
bool CAutoComboDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
  const int item = m_combo->FullIndexOfRow(index.row());
  if (item < 0) return QStyledItemDelegate::helpEvent(event, view, option, index);
  const QFontMetrics metrics(m_combo->ItemFont());
  const int secondLeft = option.rect.left() + m_combo->SecondColumnOffset();
  if (m_combo->HasTwoColumns() && event->pos().x() >= secondLeft) {
    return ShowTipIfClipped(event, view, metrics, m_combo->SecondText(item), option.rect.right() - secondLeft);
  }
  const int firstRight = m_combo->HasTwoColumns() ? secondLeft - 5 : option.rect.right();
  return ShowTipIfClipped(event, view, metrics, m_combo->ItemText(item), firstRight - option.rect.left() - 5);
}

QSize CAutoComboDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {option.rect.width(), m_combo->ItemHeight()};
}
