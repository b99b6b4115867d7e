#include "ui/CButtonST.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "app/AppBase.h"
#include "ui/ColorRef.h"
#include "ui/ResourceIcons.h"

namespace {

// Every pixel that is not black becomes its own grey level; transparency stays.
QPixmap GreyCopy(const QPixmap& source) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = line[x];
      if ((pixel & 0xFFFFFF) == 0) continue;
      const int grey = qBound(0, qRound(0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel)), 255);
      line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

CButtonST::CButtonST(QWidget* parent) : QAbstractButton(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  ResetColors(false);
}

void CButtonST::SetCheckBoxMode(bool checkBox) {
  m_checkBoxMode = checkBox;
  setCheckable(checkBox);
}

void CButtonST::SetDefault(bool isDefault) {
  m_default = isDefault;
  update();
}

void CButtonST::LoadButtonIcons(int inIconId, int outIconId) {
  m_inIcon = inIconId ? ResourceIcon(inIconId) : QIcon();
  m_inSize = inIconId ? ResourceIconSize(inIconId) : QSize();
  if (outIconId == kGreyOutIcon && inIconId) {
    m_outIcon = QIcon(GreyCopy(ResourcePixmap(inIconId)));
    m_outSize = m_inSize;
  } else {
    m_outIcon = outIconId > 0 ? ResourceIcon(outIconId) : QIcon();
    m_outSize = outIconId > 0 ? ResourceIconSize(outIconId) : QSize();
  }
  update();
}

void CButtonST::SetFlatStyle(bool flat, bool redraw) {
  m_flat = flat;
  if (!flat) m_hover = false;
  if (redraw) update();
}

void CButtonST::MakeTransparent(bool redraw) {
  m_transparent = true;
  if (redraw) update();
}

void CButtonST::SetHoverFrame(bool drawBorder, bool redraw) {
  m_drawBorder = drawBorder;
  if (redraw) update();
}

int CButtonST::SetStateColor(int index, int colorRef, bool redraw) {
  if (index < 0 || index >= kColorCount) return kInvalidIndex;
  m_colors[static_cast<size_t>(index)] = colorRef;
  if (redraw) update();
  return kOk;
}

int CButtonST::GetStateColor(int index) const {
  if (index < 0 || index >= kColorCount) return -1;
  return m_colors[static_cast<size_t>(index)];
}

void CButtonST::ResetColors(bool redraw) {
  const UTSettings& settings = GetApp().GetSettings();
  m_colors = {settings.GetClrBackground(), settings.GetClrText(), settings.GetClrBackground(),
              settings.GetClrText(),       settings.GetClrBackground(), settings.GetClrText()};
  if (redraw) update();
}

void CButtonST::SetCheckState(bool checked, bool redraw) {
  if (!m_checkBoxMode) return;
  setChecked(checked);
  if (redraw) update();
}

void CButtonST::SetCaptionFont(const QFont* font) {
  m_captionFont = font;
  update();
}

void CButtonST::SetTipText(const QString& tip, bool activate) {
  m_tip = activate ? tip : QString();
  // Icon buttons and the one-letter caption buttons are known by their tip alone.
  if (text().size() <= 1) setAccessibleName(m_tip);
  ShowTip();
}

void CButtonST::SetKeyHint(const QString& keys) {
  m_keyHint = keys;
  ShowTip();
}

void CButtonST::ShowTip() {
  setToolTip(m_tip.isEmpty() || m_keyHint.isEmpty() ? m_tip : m_tip + QStringLiteral(" (") + m_keyHint + ')');
  setAccessibleDescription(m_keyHint);
}

QFont CButtonST::CaptionFont() const { return m_captionFont ? *m_captionFont : font(); }

void CButtonST::FitToCaption() {
  const QSize caption = QFontMetrics(CaptionFont()).size(0, text());
  // The height is the taller of caption and icon, so neighbouring check boxes
  // keep their spacing.
  resize(caption.width() + 10 + m_inSize.width(), qMax(caption.height(), m_inSize.height()));
}

bool CButtonST::IsEnterKey(const QKeyEvent* event) {
  return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
         (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool CButtonST::event(QEvent* event) {
  // A focused push button answers Enter before any shortcut of its window does.
  if (event->type() == QEvent::ShortcutOverride && IsPushButton() && IsEnterKey(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QAbstractButton::event(event);
}

// Enter presses the push button with the focus, as Space does; a check box
// leaves Enter to its dialog's default button.
void CButtonST::keyPressEvent(QKeyEvent* event) {
  if (IsPushButton() && IsEnterKey(event)) {
    event->accept();
    if (!event->isAutoRepeat()) click();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

bool CButtonST::ShowsDefault() const {
  if (!m_default) return false;
  const auto* focused = qobject_cast<const CButtonST*>(window()->focusWidget());
  return !focused || focused == this || !focused->IsPushButton();
}

void CButtonST::UpdateDefaultButtons() {
  for (CButtonST* button : window()->findChildren<CButtonST*>()) {
    if (button->m_default) button->update();
  }
}

void CButtonST::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  int state = 0;
  if (isDown()) state |= kStateSelected;
  if (hasFocus()) state |= kStateFocus;
  if (!isEnabled()) state |= kStateDisabled;
  DrawItem(painter, rect(), state);
}

void CButtonST::DrawFrame(QPainter& painter, const QRect& r, bool pressed) const {
  const QPalette& colors = palette();
  const QColor shadow = colors.color(QPalette::Dark);
  const QColor highlight = colors.color(QPalette::Light);
  auto edge = [&painter](const QColor& topLeft, const QColor& bottomRight, const QRect& box) {
    painter.setPen(topLeft);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
  };
  if (pressed) {
    if (!m_flat) {
      painter.setPen(shadow);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    } else if (m_drawBorder) {
      edge(shadow, highlight, r);
    }
  } else if (!m_flat) {
    edge(highlight, colors.color(QPalette::Shadow), r);
    edge(colors.color(QPalette::Midlight), shadow, r.adjusted(1, 1, -1, -1));
  } else if (m_hover && m_drawBorder) {
    edge(highlight, shadow, r);
  }
}

void CButtonST::DrawItem(QPainter& painter, const QRect& area, int state) const {
  const bool pressed = m_checkBoxMode ? ((state & kStateSelected) || isChecked()) : (state & kStateSelected);
  const bool focused = state & kStateFocus;
  const bool disabled = state & kStateDisabled;
  QRect r = area;

  const bool markDefault = ShowsDefault();
  if (!m_flat && (focused || markDefault)) {
    painter.setPen(Qt::black);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }

  if (!m_transparent) {
    int background = kColorBkOut;
    if (m_hover || pressed) {
      background = kColorBkIn;
    } else if (focused) {
      background = kColorBkFocus;
    }
    painter.fillRect(r, ColorFromRef(m_colors[background]));
  }

  DrawFrame(painter, r, pressed);

  // Pressed push buttons move their content; check boxes show the state by icon.
  const QPoint shift = pressed && !m_checkBoxMode ? m_pressedOffset : QPoint();
  const bool useIn = m_checkBoxMode ? pressed : (pressed || m_hover);
  const QIcon& icon = useIn || m_outIcon.isNull() ? m_inIcon : m_outIcon;
  const QSize iconSize = useIn || m_outIcon.isNull() ? m_inSize : m_outSize;

  QRect textArea = r;
  if (!icon.isNull() && !iconSize.isEmpty()) {
    // An icon taller than the button is drawn smaller rather than cut.
    QSize drawn = iconSize;
    if (drawn.height() > r.height() || drawn.width() > r.width()) drawn.scale(r.size(), Qt::KeepAspectRatio);
    const int x = text().isEmpty() ? r.left() + (r.width() - drawn.width()) / 2 : r.left() + m_imageMargin;
    const QRect image(QPoint(x, r.top() + (r.height() - drawn.height()) / 2) + shift, drawn);
    icon.paint(&painter, image, Qt::AlignCenter, disabled ? QIcon::Disabled : QIcon::Normal);
    textArea.setLeft(image.right() + 1 - shift.x() + m_imageMargin);
  }

  if (!text().isEmpty()) {
    painter.setFont(CaptionFont());
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRect caption = textArea.translated(shift);
    if (disabled) {
      // Greyed, but readable on dark colour sets too.
      painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    } else {
      painter.setPen(ColorFromRef(m_colors[m_hover || pressed ? kColorFgIn : kColorFgOut]));
    }
    painter.drawText(caption, flags, text());
  }

  if (focused && m_flat) {
    // Flat buttons have no frame of their own, yet a keyboard user must see
    // where the focus is: a mark in the user's border colour.
    painter.setPen(QPen(ColorFromRef(GetApp().GetSettings().GetClrBorder()), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 3, 3);
  } else if (markDefault && m_flat) {
    // A thinner line in the same colour: Enter would press this button.
    painter.setPen(QPen(ColorFromRef(GetApp().GetSettings().GetClrBorder()), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  } else if (focused) {
    QPen dotted(Qt::black);
    dotted.setStyle(Qt::DotLine);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(3, 3, -4, -4));
  }
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
  QAbstractButton::mouseMoveEvent(event);
  if (!m_flat) return;
  if ((event->buttons() & Qt::LeftButton) && !m_hover) return;
  if (rect().contains(event->position().toPoint())) {
    if (!m_hover) {
      m_hover = true;
      update();
    }
  } else {
    LeaveHover();
  }
}

void CButtonST::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  LeaveHover();
}

void CButtonST::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  UpdateDefaultButtons();
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  LeaveHover();
  UpdateDefaultButtons();
}

void CButtonST::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) LeaveHover();
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    // A disabled button must not keep the keyboard focus.
    if (hasFocus()) focusNextChild();
    LeaveHover();
  }
}

void CButtonST::LeaveHover() {
  if (m_flat && m_hover) {
    m_hover = false;
    update();
  }
}
