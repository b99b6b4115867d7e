#include "search/SearchResultDelegate.h"

#include <QPainter>

#include "search/SearchResultsModel.h"

namespace {

constexpr int kPadding = 4;

QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

}  // namespace

QSize SearchResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int line = QFontMetrics(option.font).height();
  const bool result = index.data(SearchResultsModel::kKindRole).isValid();
  return QSize(option.rect.width(), (result ? 2 * line : line) + 2 * kPadding);
}

void SearchResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  painter->save();
  const QPalette& colors = option.palette;
  const bool selected = option.state & QStyle::State_Selected;
  if (selected) painter->fillRect(option.rect, colors.color(QPalette::Highlight));
  painter->setPen(colors.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const QRect area = option.rect.adjusted(kPadding, kPadding, -kPadding, -kPadding);
  const QFontMetrics metrics(option.font);

  if (!index.data(SearchResultsModel::kKindRole).isValid()) {  // "No matches"
    painter->setFont(option.font);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());
    painter->restore();
    return;
  }

  // First line: the kind, then the title in bold.
  const QString kind = index.data(SearchResultsModel::kKindRole).toString() + QStringLiteral(":  ");
  painter->setFont(option.font);
  painter->drawText(area.topLeft() + QPoint(0, metrics.ascent()), kind);
  const int titleX = area.left() + metrics.horizontalAdvance(kind);
  const QFont bold = Bold(option.font);
  painter->setFont(bold);
  const QString title = QFontMetrics(bold).elidedText(index.data(SearchResultsModel::kTitleRole).toString(),
                                                     Qt::ElideRight, area.right() - titleX);
  painter->drawText(QPoint(titleX, area.top() + metrics.ascent()), title);

  // Second line: the matched part with the match on a marked background.
  const QString snippet = index.data(SearchResultsModel::kSnippetRole).toString();
  const int markStart = index.data(SearchResultsModel::kMarkStartRole).toInt();
  const int markLength = index.data(SearchResultsModel::kMarkLengthRole).toInt();
  const QString pieces[] = {snippet.left(markStart), snippet.mid(markStart, markLength),
                            snippet.mid(markStart + markLength)};
  int x = area.left();
  const int baseline = area.top() + metrics.height() + metrics.ascent();
  for (int piece = 0; piece < 3 && x < area.right(); ++piece) {
    const QFont& font = piece == 1 ? bold : option.font;
    const QFontMetrics pieceMetrics(font);
    const QString text = pieceMetrics.elidedText(pieces[piece], Qt::ElideRight, area.right() - x);
    const int width = pieceMetrics.horizontalAdvance(text);
    if (piece == 1) {
      // The match stands out on the colour selected rows use, or framed in a selected row.
      const QRect mark(x - 1, baseline - metrics.ascent(), width + 2, metrics.height());
      if (selected) {
        painter->drawRect(mark.adjusted(0, 0, -1, -1));
      } else {
        painter->fillRect(mark, colors.color(QPalette::Highlight));
        painter->setPen(colors.color(QPalette::HighlightedText));
      }
    }
    painter->setFont(font);
    painter->drawText(QPoint(x, baseline), text);
    painter->setPen(colors.color(selected ? QPalette::HighlightedText : QPalette::Text));
    x += width;
  }
  painter->restore();
}
