#include "ui/CColorHeaderCtrl.h"

#include <QPaintEvent>
#include <QPainter>

#include "app/AppBase.h"
#include "ui/ColorRef.h"
#include "ui/UiFonts.h"

namespace {
constexpr int kFrameWidth = 2;
}

CColorHeaderCtrl::CColorHeaderCtrl(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent),
      m_captionFont(MakeCellFont(QStringLiteral("Times New Roman"), 18, 700)),
      m_frameColor(GetApp().GetSettings().GetClrHighlight()) {
  m_captionFont.setStyleHint(QFont::Serif);
  setFont(m_captionFont);
  // The views keep their own order: a click on a caption sorts nothing.
  setSectionsClickable(false);
}

void CColorHeaderCtrl::InsertCaption(int column, const QString& caption) {
  m_captions.insert(qBound(0, column, static_cast<int>(m_captions.size())), caption);
  viewport()->update();
}

void CColorHeaderCtrl::SetFrameColor(int colorRef) {
  m_frameColor = colorRef;
  viewport()->update();
}

void CColorHeaderCtrl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  // The background follows the user's colour of the moment, also beyond the last item.
  painter.fillRect(event->rect(), ColorFromRef(GetApp().GetSettings().GetClrBackground()));
  for (int visual = 0; visual < count(); ++visual) {
    const int logical = logicalIndex(visual);
    if (isSectionHidden(logical)) continue;
    const QRect section(sectionViewportPosition(logical), 0, sectionSize(logical), viewport()->height());
    if (section.intersects(event->rect())) paintSection(&painter, section, logical);
  }
}

void CColorHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  const UTSettings& settings = GetApp().GetSettings();
  painter->save();
  painter->fillRect(rect, ColorFromRef(settings.GetClrBackground()));
  // The frame runs along the item's outer edges; the pen is centred on them.
  QPen frame(ColorFromRef(m_frameColor), kFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  painter->setPen(frame);
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(QRectF(rect));
  painter->setFont(m_captionFont);
  painter->setPen(ColorFromRef(settings.GetClrText()));
  const QRect text = rect.adjusted(3, 1, -kFrameWidth, -kFrameWidth);
  painter->setClipRect(rect);
  painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_captions.value(logicalIndex));
  painter->restore();
}
