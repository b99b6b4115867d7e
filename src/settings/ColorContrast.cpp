#include "settings/ColorContrast.h"

#include <algorithm>
#include <cmath>

namespace {

// One sRGB channel (0-255) as linear light.
double LinearChannel(int channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(int colorRef) {
  return 0.2126 * LinearChannel(colorRef & 0xFF) + 0.7152 * LinearChannel((colorRef >> 8) & 0xFF) +
         0.0722 * LinearChannel((colorRef >> 16) & 0xFF);
}

}  // namespace

double ContrastRatio(int colorRef, int otherColorRef) {
  const double a = RelativeLuminance(colorRef);
  const double b = RelativeLuminance(otherColorRef);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}
