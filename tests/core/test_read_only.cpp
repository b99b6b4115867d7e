#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "OrganizerTest.h"
#include "db/DBL.h"

using namespace DBL;

namespace {

// Runs the check as an ordinary user: permissions do not stop root, and the
// tests often run as root. Returns the number of failed expectations.
int RunUnprivileged(const std::function<int()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
    ::_exit(dropped ? check() : 100);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

class ReadOnlyTest : public OrganizerTest {
 protected:
  void SetUp() override {
    OrganizerTest::SetUp();
    // Let the ordinary user reach the database through the test's folders.
    for (std::filesystem::path p = DatabasePath(); p.string().size() >= Folder().size(); p = p.parent_path()) {
      ::chmod(p.c_str(), std::filesystem::is_directory(p) ? 0755 : 0644);
    }
  }

  // Every kind of write fails visibly, and reading still works.
  static int WritesFailAndReadsWork() {
    int failures = 0;
    failures += ExecuteInsert("insert into category (type_id, name, comment) values (0, 'x', '')") > 0;
    failures += ExecuteUpdate("update category set name = 'y'") == 0;
    failures += ExecuteDelete("delete from category") == 0;
    failures += !ExecuteQuery("select id from category").Next();
    return failures;
  }

  int CategoryCount() {
    MemResultSet rs = ExecuteQuery("select count(*) as n from category");
    return rs.Next() ? rs.GetInt("n") : -1;
  }
};

}  // namespace

TEST_F(ReadOnlyTest, AReadOnlyFileRefusesWritesThroughTheirResults) {
  ::chmod(DatabasePath().c_str(), 0444);
  EXPECT_EQ(RunUnprivileged(WritesFailAndReadsWork), 0);
  EXPECT_EQ(CategoryCount(), 8);
}

// The file itself is writable, but its journal cannot be made beside it.
TEST_F(ReadOnlyTest, AReadOnlyFolderRefusesWritesThroughTheirResults) {
  ::chmod(std::filesystem::path(DatabasePath()).parent_path().c_str(), 0555);
  EXPECT_EQ(RunUnprivileged(WritesFailAndReadsWork), 0);
  EXPECT_EQ(CategoryCount(), 8);
}
