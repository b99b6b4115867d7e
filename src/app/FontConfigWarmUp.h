#pragma once

#include <thread>

// Reads the font configuration and its caches on a thread of its own while
// the application connects to the display: the first text measured (the
// dialog template's font) would otherwise wait for it on the window's thread.
class FontConfigWarmUp {
 public:
  FontConfigWarmUp();
  ~FontConfigWarmUp();
  FontConfigWarmUp(const FontConfigWarmUp&) = delete;
  FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

  // Returns once the configuration is read; before the first font is used.
  void Wait();

 private:
  std::thread m_worker;
};
