#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "app/AppBase.h"

// Base of the dialog tests: own data and configuration folders, a fresh
// organizer database and an application object whose settings are loaded, so
// every dialog gets the default colours a new user sees.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  UTSettings& Settings() { return m_app->GetSettings(); }

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<AppBase> m_app;
};
