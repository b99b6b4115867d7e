#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/AppBase.h"

// Base of the core tests: its own data and configuration folders, a fresh
// organizer database made from the schema, the application object, and a
// message hook that records what the user would have been shown.
class OrganizerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The folder every test may use freely.
  std::string Folder() const;
  std::string DatabasePath() const;
  std::string ConfigHome() const;

  // Messages shown through the hook, in order, with their kinds.
  std::vector<std::pair<std::string, int>> m_messages;
  // What the hook answers to a Yes/No question.
  int m_answer = 1;

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<AppBase> m_app;
};
