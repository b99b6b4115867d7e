#include "ui/UiFonts.h"

#include <QFontMetricsF>
#include <QtMath>

QFont MakeCellFont(const QString& face, int cellHeight, int weight, bool italic) {
  QFont font(face);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(italic);
  constexpr int kProbe = 100;
  font.setPixelSize(kProbe);
  const qreal probeHeight = QFontMetricsF(font).height();
  const int em = probeHeight > 0 ? qRound(cellHeight * kProbe / probeHeight) : cellHeight;
  font.setPixelSize(qMax(1, em));
  return font;
}
