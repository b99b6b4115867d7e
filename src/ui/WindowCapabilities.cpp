#include "ui/WindowCapabilities.h"

#include <QGuiApplication>

WindowCapabilities WindowCapabilities::ForPlatform(const QString& platformName) {
  // "wayland", "wayland-egl", "wayland-brcm": every variant of Qt's Wayland platform.
  const bool compositorDecides = platformName.startsWith(QLatin1String("wayland"));
  WindowCapabilities capabilities;
  capabilities.opacity = capabilities.placement = capabilities.stayOnTop = !compositorDecides;
  return capabilities;
}

const WindowCapabilities& WindowCapabilities::Current() {
  static const WindowCapabilities current = ForPlatform(QGuiApplication::platformName());
  return current;
}
