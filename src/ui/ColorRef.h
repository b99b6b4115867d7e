#pragma once

#include <QColor>

// Colours are kept as the stored integers: red in the low byte, then green,
// then blue. These two functions are the only conversion to and from QColor.
inline QColor ColorFromRef(int colorRef) {
  return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

inline int RefFromColor(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}
