// Writes under faults of the file system and of other programs: whatever the
// data store reports as stored must be stored, and whatever it reports as
// failed must have left the file as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "RecordsTest.h"
#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "records/Tasks.h"

namespace {

// Each task as stored: id and description, read around the data store.
std::map<int, std::string> StoredTasks(const std::string& path) {
  std::map<int, std::string> tasks;
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "select id, description from task", -1, &stmt, nullptr);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    tasks[sqlite3_column_int(stmt, 0)] = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return tasks;
}

TaskRecord NewTask(const std::string& description) {
  TaskRecord task;
  task.category_id = 1;
  task.priority_id = 2;
  task.name = "task";
  task.description = description;
  return task;
}

// A text of about `size` bytes that differs for every n, so that no page compresses or repeats.
std::string Filler(int n, size_t size) {
  std::string text = std::to_string(n) + ":";
  while (text.size() < size) text += std::to_string(text.size() * 7919 + n) + " ";
  return text;
}

class WriteFaultTest : public RecordsTest {
 protected:
  void TearDown() override {
    DBL::SetBusyTimeout(5000);
    if (!m_mount.empty()) ::umount2(m_mount.c_str(), MNT_DETACH);
    RecordsTest::TearDown();
  }

  // Puts a fresh database on a file system of 512 KB. Returns why it cannot, or "".
  std::string UseSmallDisk() {
    const std::string mount = Folder() + "/small";
    std::filesystem::create_directories(mount);
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=512k,mode=0700") != 0) {
      return std::string("mounting a 512 KB tmpfs (mount -t tmpfs -o size=512k) is not allowed here: ") +
             std::strerror(errno);
    }
    m_mount = mount;
    ::setenv("XDG_DATA_HOME", mount.c_str(), 1);
    const std::string problem = DBL::PrepareDatabase(DatabasePath());
    return problem.empty() ? "" : "no database on the small disk: " + problem;
  }

  // Inserts tasks of 2 KB until the disk is full; returns what was reported stored.
  std::map<int, std::string> FillDisk(int attempts, int& failures) {
    std::map<int, std::string> reported;
    int positive = 0;
    int other = 0;
    failures = 0;
    for (int n = 0; n < attempts; ++n) {
      const TaskRecord task = NewTask(Filler(n, 2048));
      const int id = InsertTask(task);
      if (id > 0) {
        ++positive;
        reported[id] = task.description;
      } else {
        ++failures;
        other += id != 0;
      }
    }
    EXPECT_EQ(positive, static_cast<int>(reported.size()))
        << attempts << " inserts: " << positive << " returned an id, " << reported.size() << " distinct ones; "
        << StoredTasks(DatabasePath()).size() << " rows stored";
    EXPECT_EQ(other, 0) << "a failed insert returns 0";
    RecordProperty("inserts_reported_stored", positive);
    RecordProperty("inserts_failed", failures);
    return reported;
  }

  // The file is sound and holds exactly the rows reported stored.
  void ExpectStoredAsReported(const std::map<int, std::string>& reported) {
    EXPECT_EQ(Stored("PRAGMA integrity_check"), "ok");
    const std::map<int, std::string> stored = StoredTasks(DatabasePath());
    std::set<int> missing;
    std::set<int> unreported;
    std::set<int> different;
    for (const auto& [id, description] : reported) {
      const auto it = stored.find(id);
      if (it == stored.end()) missing.insert(id);
      else if (it->second != description) different.insert(id);
    }
    for (const auto& entry : stored) {
      if (!reported.count(entry.first)) unreported.insert(entry.first);
    }
    EXPECT_TRUE(missing.empty()) << missing.size() << " rows reported stored are missing, the first " << *missing.begin();
    EXPECT_TRUE(unreported.empty()) << unreported.size() << " rows stored that were reported failed";
    EXPECT_TRUE(different.empty()) << different.size() << " rows hold other text than reported";
  }

  std::string m_mount;
};

// Another process holds a read transaction open on the file until released.
class Reader {
 public:
  explicit Reader(const std::string& path) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(m_release) != 0) return;
    m_child = ::fork();
    if (m_child == 0) {
      sqlite3* db = nullptr;
      sqlite3_open(path.c_str(), &db);
      const int rc = sqlite3_exec(db, "begin; select count(*) from task", nullptr, nullptr, nullptr);
      (void)!::write(ready[1], rc == SQLITE_OK ? "y" : "n", 1);
      char c;
      (void)!::read(m_release[0], &c, 1);
      sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      ::_exit(0);
    }
    char c = 'n';
    m_holding = ::read(ready[0], &c, 1) == 1 && c == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~Reader() { Release(); }
  bool Holding() const { return m_holding; }
  void Release() {
    if (m_child <= 0) return;
    (void)!::write(m_release[1], "x", 1);
    ::waitpid(m_child, nullptr, 0);
    m_child = 0;
  }

 private:
  pid_t m_child = 0;
  int m_release[2] = {-1, -1};
  bool m_holding = false;
};

}  // namespace

TEST_F(WriteFaultTest, OnAFullDiskEveryReportedIdIsAStoredRowAndEveryFailureZero) {
  const std::string why = UseSmallDisk();
  if (!why.empty()) GTEST_SKIP() << why;
  int failures = 0;
  const std::map<int, std::string> reported = FillDisk(400, failures);
  EXPECT_GT(failures, 0) << "the disk never filled";
  EXPECT_GT(reported.size(), 0u);
  ExpectStoredAsReported(reported);
}

TEST_F(WriteFaultTest, OnAFullDiskUpdatesAndDeletesReportWhatTheyDid) {
  const std::string why = UseSmallDisk();
  if (!why.empty()) GTEST_SKIP() << why;
  int failures = 0;
  std::map<int, std::string> stored = FillDisk(400, failures);
  ASSERT_GT(failures, 0);

  int updateFailures = 0;
  for (auto& [id, description] : stored) {
    TaskRecord task = NewTask(Filler(id + 1000, 6000));  // grows each row: needs pages the disk lacks
    task.id = id;
    if (UpdateTask(task) == 0) {
      description = task.description;
    } else {
      ++updateFailures;
    }
  }
  EXPECT_GT(updateFailures, 0);
  ExpectStoredAsReported(stored);

  for (auto it = stored.begin(); it != stored.end();) it = DeleteTask(it->first) == 0 ? stored.erase(it) : ++it;
  ExpectStoredAsReported(stored);
}

TEST_F(WriteFaultTest, AReaderHoldingTheFilePastTheBusyTimeoutFailsEveryWrite) {
  DBL::SetBusyTimeout(150);
  TaskRecord task = NewTask("kept");
  task.id = InsertTask(task);
  ASSERT_GT(task.id, 0);
  std::map<int, std::string> stored = {{task.id, "kept"}};
  {
    Reader reader(DatabasePath());
    ASSERT_TRUE(reader.Holding());
    EXPECT_EQ(InsertTask(NewTask("lost")), 0);
    TaskRecord changed = task;
    changed.description = "changed";
    EXPECT_NE(UpdateTask(changed), 0);
    EXPECT_NE(SetTaskCompleted(task.id, 1), 0);
    EXPECT_NE(DeleteTask(task.id), 0);
  }
  const int next = InsertTask(NewTask("after"));
  EXPECT_GT(next, task.id);
  stored[next] = "after";
  ExpectStoredAsReported(stored);
  EXPECT_EQ(LoadTask(task.id).completed, 0);
}

// Moved away or deleted by the user or another program while the organizer runs.
TEST_F(WriteFaultTest, AFileDeletedWhileRunningFailsEveryWriteAndIsNotRecreatedEmpty) {
  TaskRecord task = NewTask("gone");
  task.id = InsertTask(task);
  ASSERT_GT(task.id, 0);
  ASSERT_TRUE(std::filesystem::remove(DatabasePath()));

  EXPECT_EQ(InsertTask(NewTask("new")), 0);
  EXPECT_NE(UpdateTask(task), 0);
  EXPECT_NE(SetTaskCompleted(task.id, 1), 0);
  EXPECT_NE(DeleteTask(task.id), 0);
  EXPECT_TRUE(ListTasks().empty());
  // An empty file there would be refused at the next start instead of being made afresh.
  EXPECT_FALSE(std::filesystem::exists(DatabasePath()));
  EXPECT_EQ(DBL::PrepareDatabase(DatabasePath()), "");
}

// A synchronising tool or a restore puts an older copy in place: the rows that
// copy lacks cannot be changed, and saying so is the only honest answer.
TEST_F(WriteFaultTest, AFileReplacedWhileRunningReportsChangesToRowsItLacks) {
  TaskRecord old = NewTask("old");
  old.id = InsertTask(old);
  ASSERT_GT(old.id, 0);
  const std::string copy = Folder() + "/copy.db";
  std::filesystem::copy_file(DatabasePath(), copy);
  TaskRecord recent = NewTask("recent");
  recent.id = InsertTask(recent);
  ASSERT_GT(recent.id, 0);
  std::filesystem::rename(copy, DatabasePath());

  recent.description = "recent, changed";
  EXPECT_NE(UpdateTask(recent), 0);
  EXPECT_NE(SetTaskCompleted(recent.id, 1), 0);
  EXPECT_NE(DeleteTask(recent.id), 0);
  old.description = "old, changed";
  EXPECT_EQ(UpdateTask(old), 0);
  const int added = InsertTask(NewTask("added"));
  EXPECT_GT(added, 0);
  ExpectStoredAsReported({{old.id, "old, changed"}, {added, "added"}});
}

TEST_F(WriteFaultTest, AFileReplacedByAnotherKindOfFileIsNeitherWrittenNorReportedWritten) {
  TaskRecord task = NewTask("x");
  task.id = InsertTask(task);
  ASSERT_GT(task.id, 0);
  const std::string text = "not a database, but somebody's letter\n";
  std::ofstream(Folder() + "/letter", std::ios::binary) << text;
  std::filesystem::rename(Folder() + "/letter", DatabasePath());

  EXPECT_EQ(InsertTask(task), 0);
  EXPECT_NE(UpdateTask(task), 0);
  EXPECT_NE(DeleteTask(task.id), 0);
  std::ifstream in(DatabasePath(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
}
