#include "ui/ClippedText.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

QString ElidedText(const QFontMetrics& metrics, const QString& text, int width) {
  return metrics.elidedText(text, Qt::ElideRight, width);
}

bool ShowTipIfClipped(QHelpEvent* event, QWidget* over, const QFontMetrics& metrics, const QString& text, int width) {
  if (!event || event->type() != QEvent::ToolTip) return false;
  if (metrics.horizontalAdvance(text) > width) {
    QToolTip::showText(event->globalPos(), text, over);
  } else {
    QToolTip::hideText();
  }
  return true;
}
