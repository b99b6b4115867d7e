#include <gtest/gtest.h>
#include <sqlite3.h>

#include "RecordsTest.h"
#include "db/DBL.h"
#include "db/Transaction.h"
#include "records/Events.h"
#include "sync/AccountSync.h"
#include "sync/SyncLock.h"
#include "sync/SyncStore.h"

namespace {

using namespace Sync;

// A collection whose server came back empty: two synced events and one
// synced item of a kind it does not take; one more event was never synced.
class EmptiedCollectionTest : public RecordsTest {
 protected:
  void SetUp() override {
    RecordsTest::SetUp();
    for (const char* title : {"Synced one", "Synced two", "Never synced"}) {
      EventRecord event;
      event.title = title;
      event.event_date = 46000;
      m_events.push_back(InsertEvent(event));
    }
    DBL::RunTransaction([&](DBL::Transaction& t) {
      EnsureTables(t);
      Account account;
      account.url = "http://127.0.0.1:1/";
      account.user = "ann";
      account.id = InsertAccount(t, account);
      m_collection = InsertCollection(t, {0, account.id, "http://127.0.0.1:1/cal/", "Cal", {2}, "token-7", "stopped"});
      StoreItem(t, m_collection, {"/cal/1.ics", 2, m_events[0], "uid-1", "\"e1\"", "h1"});
      StoreItem(t, m_collection, {"/cal/2.ics", 2, m_events[1], "uid-2", "\"e2\"", "h2"});
      StoreItem(t, m_collection, {"/cal/card.vcf", -1, 0, "", "\"e3\"", "h3"});
    });
  }

  int Count(const std::string& sql) { return std::stoi(Stored(sql)); }

  std::vector<int> m_events;
  int m_collection = 0;
};

TEST_F(EmptiedCollectionTest, DeleteHereTakesOnlyTheSyncedRecordsAndForgetsTheCollectionsState) {
  EXPECT_EQ(AnswerEmptyCollection(m_collection, EmptyAnswer::kDeleteHere), 2);
  EXPECT_EQ(Count("select count(*) from event"), 1);
  EXPECT_EQ(LoadEvent(m_events[2]).title, "Never synced");
  EXPECT_EQ(Count("select count(*) from sync_item"), 0);
  EXPECT_EQ(Stored("select token || '|' || state from sync_collection"), "|");
}

TEST_F(EmptiedCollectionTest, PutBackKeepsEveryRecordAndForgetsWhatWasSynced) {
  EXPECT_EQ(AnswerEmptyCollection(m_collection, EmptyAnswer::kPutBack), 2);
  EXPECT_EQ(Count("select count(*) from event"), 3);
  EXPECT_EQ(Count("select count(*) from sync_item"), 0);
  EXPECT_EQ(Stored("select token from sync_collection"), "");
}

// Another copy of the program in the middle of writing (its sync committing).
class Writer {
 public:
  explicit Writer(const std::string& path) {
    sqlite3_open(path.c_str(), &m_db);
    m_holding = sqlite3_exec(m_db, "begin immediate", nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ~Writer() { sqlite3_close(m_db); }
  bool Holding() const { return m_holding; }

 private:
  sqlite3* m_db = nullptr;
  bool m_holding = false;
};

class SyncTablesTest : public EmptiedCollectionTest {
 protected:
  void SetUp() override {
    EmptiedCollectionTest::SetUp();
    DBL::SetBusyTimeout(150);
  }
  void TearDown() override {
    DBL::SetBusyTimeout(5000);
    EmptiedCollectionTest::TearDown();
  }
};

TEST_F(SyncTablesTest, PreparingThemWritesOnlyWhenOneIsMissing) {
  {
    Writer writer(DatabasePath());
    ASSERT_TRUE(writer.Holding());
    EXPECT_NO_THROW(EnsureTables()) << "every table is there: nothing to wait for";
  }
  Exec("drop table sync_conflict");
  {
    Writer writer(DatabasePath());
    ASSERT_TRUE(writer.Holding());
    EXPECT_THROW(EnsureTables(), DBL::SQLException) << "a missing table needs the write lock";
  }
  EnsureTables();
  DBL::RunTransaction([](DBL::Transaction& t) { EXPECT_TRUE(HasTables(t)); }, false);
  EXPECT_EQ(Count("select count(*) from sync_item"), 3) << "what was there stays";
}

TEST_F(EmptiedCollectionTest, NoAnswerIsTakenWhileAnotherSyncRuns) {
  SyncLock running(DatabasePath());
  ASSERT_TRUE(running.Acquire(0));
  EXPECT_EQ(AnswerEmptyCollection(m_collection, EmptyAnswer::kDeleteHere), -1);
  EXPECT_EQ(Count("select count(*) from event"), 3);
  EXPECT_EQ(Count("select count(*) from sync_item"), 3);
}

}  // namespace
