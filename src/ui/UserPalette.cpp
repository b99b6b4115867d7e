#include "ui/UserPalette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "settings/UTSettings.h"
#include "ui/ColorRef.h"

namespace {

bool IsDark(const QColor& color) { return color.lightnessF() < 0.5; }

}  // namespace

QColor FieldColor(const UTSettings& settings) {
  const QColor background = ColorFromRef(settings.GetClrBackground());
  return IsDark(background) ? background.lighter(135) : QColor(Qt::white);
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
  return colors;
}

void ApplyUserPalette(const UTSettings& settings) {
  // A platform theme (a dark desktop theme, say) would otherwise bring its own
  // style and colours into the user's windows.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  QApplication::setPalette(UserPalette(settings));
}
