#pragma once

#include <QString>

// What the window system lets the program do with its own windows. On Wayland
// the compositor alone places windows, stacks them and decides their opacity,
// so a window there cannot move itself, ask to stay above the others or fade.
// Elsewhere the program asks as usual: X11 does all three, and the offscreen
// platform of the UI tests shows nothing, so asking there does no harm.
struct WindowCapabilities {
  bool opacity = true;    // fading in and out, idle translucency
  bool placement = true;  // moving windows to a place of the program's choosing
  bool stayOnTop = true;  // keeping a window above the others

  static WindowCapabilities ForPlatform(const QString& platformName);
  // Those of the platform this application runs on, worked out once: the
  // fades ask at every step and must not ask the platform each time.
  static const WindowCapabilities& Current();
};
