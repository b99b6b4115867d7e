#include "UiTest.h"

#include <cstdlib>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "ui/UserPalette.h"

void UiTest::SetUp() {
  ASSERT_TRUE(m_dir.isValid());
  ::setenv("XDG_DATA_HOME", (m_dir.path() + "/data").toLocal8Bit().constData(), 1);
  ::setenv("XDG_CONFIG_HOME", (m_dir.path() + "/config").toLocal8Bit().constData(), 1);
  ASSERT_EQ(DBL::PrepareDatabase(DBL::GetDatabasePath()), "");
  m_app = std::make_unique<AppBase>();
  m_app->GetSettings().Load();
  // As the program does at start-up; also undoes colours an earlier test applied.
  ApplyUserPalette(m_app->GetSettings());
}

void UiTest::TearDown() { m_app.reset(); }
