#pragma once

#include <string>

#include "settings/UTSettings.h"

// The root of the program: owns the one settings object for the whole run and
// knows the folder the program runs from. Exactly one exists at a time.
class AppBase {
 public:
  AppBase();
  virtual ~AppBase();
  AppBase(const AppBase&) = delete;
  AppBase& operator=(const AppBase&) = delete;

  UTSettings& GetSettings();
  // Folder of the running program, without a trailing slash; computed once.
  const std::string& GetAppPath() const;

 private:
  UTSettings m_settings;
};

// The one application object.
AppBase& GetApp();
