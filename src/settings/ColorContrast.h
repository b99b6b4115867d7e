#pragma once

// How well text in one stored colour (red in the low byte) reads on another:
// the ratio of their relative luminances as the web's accessibility
// guidelines define it, from 1 (the same colour) to 21 (black on white).
double ContrastRatio(int colorRef, int otherColorRef);

// The least ratio at which large text is still readable.
inline constexpr double kLeastReadableContrast = 3.0;

inline bool IsHardToRead(int textColorRef, int backgroundColorRef) {
  return ContrastRatio(textColorRef, backgroundColorRef) < kLeastReadableContrast;
}
