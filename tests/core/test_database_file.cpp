#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "OrganizerTest.h"
#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/StartupCheck.h"

using namespace DBL;

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class DatabaseFileTest : public OrganizerTest {
 protected:
  // A file at a new path, prepared, must be refused and left byte for byte as it was.
  void ExpectRefusedUntouched(const std::string& bytes, const std::string& why) {
    const std::string path = Folder() + "/bad/organizer.db";
    std::filesystem::create_directories(Folder() + "/bad");
    WriteBytes(path, bytes);
    const std::string message = PrepareDatabase(path);
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find(why), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(path), bytes);
    {
      // Start-up's check, run partly in a thread, says the same and writes nothing either.
      StartupCheck check(path);
      EXPECT_EQ(check.Wait(), message);
    }
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder() + "/bad"), {}), 1)
        << "nothing may be left beside the file";
  }
};

}  // namespace

TEST_F(DatabaseFileTest, AMissingDatabaseIsCreatedWithItsDefaultRowsAndFoundAgain) {
  const std::string path = DatabasePath();
  EXPECT_EQ(path, Folder() + "/data/Tavrin/Orvale Organizer/organizer.db");
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::status(path).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  MemResultSet priorities = ExecuteQuery("select id, name from priority order by id");
  std::vector<std::string> names;
  while (priorities.Next()) names.push_back(priorities.GetString("id") + " " + priorities.GetString("name"));
  EXPECT_EQ(names, (std::vector<std::string>{"1 High", "2 Medium", "3 Low"}));
  for (int kind : {0, 1, 3}) {
    MemResultSet rs = ExecuteQuery("select count(*) as n from category where type_id = " + IntToString(kind));
    ASSERT_TRUE(rs.Next());
    EXPECT_GE(rs.GetInt("n"), 2) << "kind " << kind;
  }
  MemResultSet settings = ExecuteQuery("select * from settings");
  ASSERT_TRUE(settings.Next());
  EXPECT_EQ(settings.GetInt("install_id"), 0);
  EXPECT_NE(settings.GetInt("clr_background"), settings.GetInt("clr_text")) << "text must be readable";
  EXPECT_FALSE(settings.Next()) << "exactly one settings row";

  // The second start finds the file and keeps what it holds.
  ASSERT_EQ(ExecuteUpdate("update settings set install_id = '4242'"), 0);
  EXPECT_EQ(PrepareDatabase(path), "");
  MemResultSet again = ExecuteQuery("select install_id from settings");
  ASSERT_TRUE(again.Next());
  EXPECT_EQ(again.GetInt("install_id"), 4242);
}

TEST_F(DatabaseFileTest, ColumnsLeftOutOfAnInsertGetDefaultsNotNull) {
  ASSERT_GT(ExecuteInsert("insert into task (name) values ('x')"), 0);
  ASSERT_GT(ExecuteInsert("insert into contact (fname) values ('x')"), 0);
  ASSERT_GT(ExecuteInsert("insert into event (title) values ('x')"), 0);
  ASSERT_GT(ExecuteInsert("insert into note (subject) values ('x')"), 0);
  for (const char* table : {"task", "contact", "event", "note"}) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DatabasePath().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, (std::string("select * from ") + table).c_str(), -1, &stmt, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
      EXPECT_NE(sqlite3_column_type(stmt, c), SQLITE_NULL) << table << "." << sqlite3_column_name(stmt, c);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
  }
  MemResultSet rs = ExecuteQuery("select updated_warning, completed from task");
  ASSERT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetInt("updated_warning"), -1);
  EXPECT_EQ(rs.GetInt("completed"), 0);
}

TEST_F(DatabaseFileTest, FilesThatAreNotOrganizerDatabasesAreRefusedAndLeftAlone) {
  ExpectRefusedUntouched("", "empty");
  ExpectRefusedUntouched("My shopping list:\nmilk\nbread\n", "not a database");

  // A real SQLite file of some other program.
  const std::string other = Folder() + "/other.db";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "create table photos (id integer, path text)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ExpectRefusedUntouched(ReadBytes(other), "no table");

  // An organizer database cut short, as after a failed copy.
  const std::string whole = ReadBytes(DatabasePath());
  ASSERT_GT(whole.size(), 8192u);
  ExpectRefusedUntouched(whole.substr(0, whole.size() / 2), "");
}

TEST_F(DatabaseFileTest, StartUpsCheckPassesASoundFileAndGivesItsRecordsTheirIdentities) {
  ASSERT_GT(ExecuteInsert("insert into task (name) values ('x')"), 0);
  const auto counts = [] {
    MemResultSet rs = ExecuteQuery(
        "select (select count(*) from record_identity where kind = 0) as uids, (select count(*) from task) as tasks");
    EXPECT_TRUE(rs.Next());
    return std::pair(rs.GetInt("uids"), rs.GetInt("tasks"));
  };
  ASSERT_LT(counts().first, counts().second) << "a task made since the file was opened has no identity yet";
  {
    StartupCheck check(DatabasePath());
    EXPECT_TRUE(check.Readable());
    // Read while the check runs, as start-up reads the settings.
    EXPECT_TRUE(ExecuteQuery("select * from settings").Next());
    EXPECT_EQ(check.Wait(), "");
    EXPECT_EQ(check.Wait(), "") << "asked again";
  }
  EXPECT_EQ(counts().first, counts().second);

  // With every identity in place the file is not written; a deleted task's identity goes.
  const std::string version = FileVersion(DatabasePath());
  UpdateIdentities(DatabasePath());
  EXPECT_EQ(FileVersion(DatabasePath()), version);
  ASSERT_EQ(ExecuteDelete("delete from task where name = 'x'"), 0);
  UpdateIdentities(DatabasePath());
  EXPECT_EQ(counts().first, counts().second);
  // One task gone and another made: the counts agree, the identities do not.
  ASSERT_GT(ExecuteInsert("insert into task (name) values ('w')"), 0);
  UpdateIdentities(DatabasePath());
  ASSERT_EQ(ExecuteDelete("delete from task where name = 'w'"), 0);
  const int made = ExecuteInsert("insert into task (name) values ('y')");
  ASSERT_GT(made, 0);
  ASSERT_EQ(counts().first, counts().second);
  UpdateIdentities(DatabasePath());
  EXPECT_TRUE(ExecuteQuery("select 1 from record_identity where kind = 0 and record_id = " + IntToString(made)).Next());
  EXPECT_FALSE(ExecuteQuery("select 1 from record_identity where kind = 0 and record_id not in (select id from task)")
                   .Next());

  // A file that is not there yet is made at once and is ready.
  const std::string fresh = Folder() + "/fresh/organizer.db";
  StartupCheck check(fresh);
  EXPECT_TRUE(check.Readable());
  EXPECT_EQ(check.Wait(), "");
  EXPECT_EQ(CheckDatabase(fresh), "");
}

TEST_F(DatabaseFileTest, AnOlderFileWithoutAColumnIsRefused) {
  const std::string path = Folder() + "/old.db";
  std::filesystem::copy_file(DatabasePath(), path);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "alter table task drop column updated_warning", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string message = PrepareDatabase(path);
  EXPECT_NE(message.find("updated_warning"), std::string::npos) << message;
  StartupCheck check(path);
  EXPECT_FALSE(check.Readable()) << "refused before anything reads it";
  EXPECT_EQ(check.Wait(), message);
}

TEST_F(DatabaseFileTest, AFolderThatCannotBeMadeIsReportedNotIgnored) {
  WriteBytes(Folder() + "/plain", "x");
  const std::string message = PrepareDatabase(Folder() + "/plain/organizer.db");
  EXPECT_NE(message.find("could not be created"), std::string::npos) << message;
  EXPECT_NE(message.find(Folder() + "/plain/organizer.db"), std::string::npos);
}

// A second copy of the program holding a write lock: the statement waits for it.
TEST_F(DatabaseFileTest, AStatementWaitsForAnotherProcessHoldingTheLock) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sqlite3* db = nullptr;
    sqlite3_open(DatabasePath().c_str(), &db);
    int rc = sqlite3_exec(db, "begin immediate; update category set comment = 'held' where id = 1", nullptr,
                          nullptr, nullptr);
    (void)!::write(ready[1], "x", 1);
    ::sleep(2);
    rc |= sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ::_exit(rc == SQLITE_OK ? 0 : 1);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_EQ(ExecuteUpdate("update category set name = 'waited' where id = 2"), 0);
  EXPECT_GT(ExecuteInsert("insert into category (type_id, name, comment) values (0, 'after lock', '')"), 0);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  MemResultSet rs = ExecuteQuery("select id, name, comment from category where id <= 2 order by id");
  ASSERT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetString("comment"), "held");
  ASSERT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetString("name"), "waited");
}
