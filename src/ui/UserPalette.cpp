#include "ui/UserPalette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "settings/ColorContrast.h"
#include "settings/UTSettings.h"
#include "ui/ColorRef.h"

namespace {

bool IsDark(const QColor& color) { return color.lightnessF() < 0.5; }

}  // namespace

QColor FieldColor(const UTSettings& settings) {
  const QColor background = ColorFromRef(settings.GetClrBackground());
  return IsDark(background) ? background.lighter(135) : QColor(Qt::white);
}

QColor DisabledTextColor(const QColor& text, const QColor& background) {
  constexpr double kReadable = 3.0;
  // Halfway to the background says "not now"; nearer the text when that is
  // too faint to read.
  for (double share = 0.5; share > 0.0; share -= 0.05) {
    const QColor mixed = QColor::fromRgbF(text.redF() + (background.redF() - text.redF()) * share,
                                          text.greenF() + (background.greenF() - text.greenF()) * share,
                                          text.blueF() + (background.blueF() - text.blueF()) * share);
    if (ContrastRatio(RefFromColor(mixed), RefFromColor(background)) >= kReadable) return mixed;
  }
  return text;
}

QPalette UserPalette(const UTSettings& settings) {
  const QColor background = ColorFromRef(settings.GetClrBackground());
  const QColor text = ColorFromRef(settings.GetClrText());
  const QColor highlight = ColorFromRef(settings.GetClrHighlight());
  // Light, dark, mid and shadow follow the background, so frames and bevels
  // stay in the same family of colours.
  QPalette colors(background, background);
  const QColor field = FieldColor(settings);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    colors.setColor(group, QPalette::WindowText, text);
    colors.setColor(group, QPalette::ButtonText, text);
    colors.setColor(group, QPalette::Text, text);
    colors.setColor(group, QPalette::Base, field);
    colors.setColor(group, QPalette::AlternateBase, field);
    colors.setColor(group, QPalette::Highlight, highlight);
    colors.setColor(group, QPalette::HighlightedText, text);
    colors.setColor(group, QPalette::ToolTipBase, field);
    colors.setColor(group, QPalette::ToolTipText, text);
    colors.setColor(group, QPalette::PlaceholderText, QColor(text.red(), text.green(), text.blue(), 128));
    colors.setColor(group, QPalette::BrightText, IsDark(background) ? Qt::white : Qt::black);
  }
  const QColor disabled = DisabledTextColor(text, background);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    colors.setColor(QPalette::Disabled, role, disabled);
  }
  colors.setColor(QPalette::Disabled, QPalette::Base, background);
  return colors;
}

void ApplyUserPalette(const UTSettings& settings) {
  // A platform theme (a dark desktop theme, say) would otherwise bring its own
  // style and colours into the user's windows.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  QApplication::setPalette(UserPalette(settings));
}
