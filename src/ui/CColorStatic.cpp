#include "ui/CColorStatic.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include "app/AppBase.h"
#include "ui/ColorRef.h"

CColorStatic::CColorStatic(QWidget* parent)
    : QLabel(parent),
      m_backColor(GetApp().GetSettings().GetClrBackground()),
      m_textColor(GetApp().GetSettings().GetClrText()) {
  setAutoFillBackground(true);
  ApplyColors();
}

void CColorStatic::SetForeColor(int colorRef) {
  m_textColor = colorRef;
  ApplyColors();
}

void CColorStatic::SetBackColor(int colorRef) {
  m_backColor = colorRef;
  ApplyColors();
}

void CColorStatic::SetGroupBox(bool groupBox) {
  m_groupBox = groupBox;
  // A group box lies under the controls it frames; only its edge and title are drawn.
  setAutoFillBackground(!groupBox);
  update();
}

void CColorStatic::ApplyColors() {
  QPalette colors = palette();
  colors.setColor(QPalette::Window, ColorFromRef(m_backColor));
  colors.setColor(QPalette::WindowText, ColorFromRef(m_textColor));
  setPalette(colors);
  repaint();
}

void CColorStatic::FitToText() {
  const int textWidth = QFontMetrics(font()).size(0, text()).width();
  const int excess = textWidth - width();
  if (excess <= 0) return;
  resize(width() + static_cast<int>(excess * 1.1), height());
}

void CColorStatic::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  // Labels are given fonts taller than their template rows; a label grows
  // downward to one line of its font rather than cut the letters off.
  if (event->type() == QEvent::FontChange) {
    const int lineHeight = QFontMetrics(font()).height();
    if (height() < lineHeight) resize(width(), lineHeight);
  }
}

void CColorStatic::paintEvent(QPaintEvent* event) {
  if (!m_groupBox) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int top = metrics.height() / 2;
  const QRect frame = rect().adjusted(0, top, -1, -1);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(frame);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(frame.translated(1, 1).adjusted(0, 0, -1, -1));

  if (text().isEmpty()) return;
  const int titleWidth = metrics.horizontalAdvance(text()) + 6;
  const QRect title(7, 0, qMin(titleWidth, width() - 14), metrics.height());
  painter.fillRect(title, palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(title, Qt::AlignCenter, text());
}
