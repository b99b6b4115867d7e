#include "ui/DlgFontScaler.h"

#include <QComboBox>
#include <QFontMetrics>

#include "ui/ControlFactory.h"
#include "ui/DialogTemplate.h"

namespace {

// The templates name the classic dialog faces; Liberation Sans is the
// installed face nearest to them, and asking for it keeps every machine's
// layout the same.
void SubstituteDialogFaces() {
  static const bool done = [] {
    QFont::insertSubstitution(QStringLiteral("MS Shell Dlg"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    return true;
  }();
  (void)done;
}

int Scale(int units, int base, int divisor) { return static_cast<int>(units * base / static_cast<double>(divisor) + 0.5); }

}  // namespace

DlgFontScaler::BaseUnits DlgFontScaler::MeasureBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int extent = metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
  return {(extent / 26 + 1) / 2, metrics.height()};
}

QFont DlgFontScaler::TemplateFont(const DialogTemplate& dialogTemplate, double dpi) {
  SubstituteDialogFaces();
  QFont font(QString::fromUtf8(dialogTemplate.face));
  font.setPixelSize(static_cast<int>(dialogTemplate.pointSize * dpi / 72.0 + 0.5));
  font.setWeight(static_cast<QFont::Weight>(dialogTemplate.weight));
  font.setItalic(dialogTemplate.italic);
  return font;
}

QRect DlgFontScaler::DialogUnitsToPixels(const QRect& units, BaseUnits base) {
  return {Scale(units.x(), base.x, 4), Scale(units.y(), base.y, 8), Scale(units.width(), base.x, 4),
          Scale(units.height(), base.y, 8)};
}

template <class Visit>
void DlgFontScaler::WalkItems(const DialogTemplate& dialogTemplate, Visit visit) const {
  const QList<QWidget*> children = m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  qsizetype next = 0;
  for (const DialogItem& item : dialogTemplate.items) {
    while (next < children.size() && DlgItemId(children[next]) != item.id) ++next;
    if (next == children.size()) return;
    visit(item, children[next++]);
  }
}

void DlgFontScaler::ScaleDialog(QWidget* window, int templateId, double dpi) {
  m_active = true;
  if (m_window) RestoreFonts();
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
  if (!window || !dialogTemplate) return;
  m_templateId = templateId;
  m_window = window;

  m_font = TemplateFont(*dialogTemplate, dpi);
  m_previousFont = window->font();
  window->setFont(*m_font);
  m_units = MeasureBaseUnits(*m_font);

  const QRect client = DialogUnitsToPixels(QRect(0, 0, dialogTemplate->cx, dialogTemplate->cy), m_units);
  window->resize(client.size());

  WalkItems(*dialogTemplate, [this](const DialogItem& item, QWidget* control) {
    control->setFont(*m_font);
    QRect pixels = DialogUnitsToPixels(QRect(item.x, item.y, item.cx, item.cy), m_units);
    // A combo box's template height includes its open list; the closed box
    // keeps the height its font needs.
    if (qobject_cast<QComboBox*>(control)) pixels.setHeight(control->sizeHint().height());
    control->setGeometry(pixels);
  });
}

void DlgFontScaler::RestoreFonts() {
  if (!m_active || !m_window) return;
  if (const DialogTemplate* dialogTemplate = FindDialogTemplate(m_templateId)) {
    m_window->setFont(m_previousFont);
    WalkItems(*dialogTemplate, [this](const DialogItem&, QWidget* control) { control->setFont(m_previousFont); });
  }
  m_window = nullptr;
  m_font.reset();
}

const QFont* DlgFontScaler::GetFont() const { return m_font ? &*m_font : nullptr; }
