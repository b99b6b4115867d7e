#pragma once

#include <memory>

#include "EditorTest.h"
#include "db/DBL.h"
#include "views/DlgOrganizer.h"

// Base of the tests that work on the pages inside the main window, as the
// user meets them after the first start.
class MainWindowTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_EQ(DBL::ExecuteUpdate("update settings set install_id = '777777'"), 0);  // not a first start
    Settings().Load();
    m_window = std::make_unique<DlgOrganizer>();
    m_window->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  void TearDown() override {
    m_window.reset();
    EditorTest::TearDown();
  }

  std::unique_ptr<DlgOrganizer> m_window;
};
