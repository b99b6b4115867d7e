#include "views/UndoNotice.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "app/AppBase.h"
#include "ui/ColorRef.h"

namespace {
constexpr int kLongestTitle = 40;  // characters of the record's name shown
}  // namespace

UndoNotice::UndoNotice(QWidget* parent)
    : QFrame(parent), m_text(new QLabel(this)), m_undo(new QPushButton(QStringLiteral("Undo"), this)),
      m_hide(new QTimer(this)) {
  setObjectName(QStringLiteral("undoNotice"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(10, 4, 6, 4);
  layout->setSpacing(8);
  layout->addWidget(m_text);
  layout->addWidget(m_undo);
  m_undo->setFlat(true);
  m_undo->setCursor(Qt::PointingHandCursor);
  m_undo->setToolTip(QStringLiteral("Undo (Ctrl+Z)"));
  m_undo->setAccessibleDescription(QStringLiteral("Ctrl+Z"));
  m_undo->setFocusPolicy(Qt::NoFocus);  // the list keeps the focus, and with it the keys
  m_hide->setSingleShot(true);
  connect(m_hide, &QTimer::timeout, this, &QWidget::hide);
  connect(m_undo, &QPushButton::clicked, this, [this] {
    hide();
    emit undoClicked();
  });
  hide();
}

void UndoNotice::ShowDeleted(const QString& title, const QRect& over) {
  const QString shown = title.size() > kLongestTitle ? title.left(kLongestTitle - 1) + QChar(0x2026) : title;
  // The dash belongs to the notice's wording, before its Undo.
  m_text->setText(QStringLiteral("Deleted '%1' \u2014").arg(shown));
  setAccessibleName(m_text->text() + QStringLiteral(" Undo"));
  adjustSize();
  move(over.center().x() - width() / 2, over.bottom() - height() - 12);
  raise();
  show();
  m_hide->start(kShownMs);
}

void UndoNotice::ApplyColors(const QFont& font) {
  const UTSettings& settings = GetApp().GetSettings();
  QPalette colors = palette();
  colors.setColor(QPalette::WindowText, ColorFromRef(settings.GetClrText()));
  colors.setColor(QPalette::ButtonText, ColorFromRef(settings.GetClrText()));
  setPalette(colors);
  m_text->setFont(font);
  QFont bold = font;
  bold.setBold(true);
  bold.setUnderline(true);
  m_undo->setFont(bold);
}

void UndoNotice::paintEvent(QPaintEvent* /*event*/) {
  const UTSettings& settings = GetApp().GetSettings();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(ColorFromRef(settings.GetClrHighlight()));
  painter.setPen(QPen(ColorFromRef(settings.GetClrBorder()), 2));
  painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}
