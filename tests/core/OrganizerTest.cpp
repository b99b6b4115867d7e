#include "OrganizerTest.h"

#include <cstdlib>

#include "app/Message.h"
#include "db/DBL.h"
#include "db/DatabaseFile.h"

void OrganizerTest::SetUp() {
  ASSERT_TRUE(m_dir.isValid());
  ::setenv("XDG_DATA_HOME", (Folder() + "/data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
  ASSERT_EQ(DBL::PrepareDatabase(DatabasePath()), "");
  SetMessageHook([this](const std::string& text, int kind) {
    m_messages.emplace_back(text, kind);
    return kind == kMessageYesNo ? m_answer : 1;
  });
  m_app = std::make_unique<AppBase>();
}

void OrganizerTest::TearDown() {
  m_app.reset();
  SetMessageHook(nullptr);
}

std::string OrganizerTest::Folder() const { return m_dir.path().toStdString(); }

std::string OrganizerTest::DatabasePath() const { return DBL::GetDatabasePath(); }

std::string OrganizerTest::ConfigHome() const { return Folder() + "/config"; }
