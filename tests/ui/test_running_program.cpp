// The organizer executable itself: its daily copy once the window is up, and
// a restore from the command line while it runs and after it has ended.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>

#include "UiTest.h"
#include "app/DailyBackup.h"
#include "app/InstanceLock.h"
#include "app/Paths.h"
#include "db/DBL.h"
#include "records/Tasks.h"

namespace fs = std::filesystem;

namespace {

class RunningProgramTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    // Not a first start, which would open the welcome page in a browser.
    ASSERT_EQ(DBL::ExecuteUpdate("update settings set install_id = '777777'"), 0);
    TaskRecord task;
    task.category_id = 1;
    task.name = "in the backup";
    ASSERT_GT(InsertTask(task), 0);
  }

  void TearDown() override {
    if (m_program.state() != QProcess::NotRunning) {
      m_program.kill();
      m_program.waitForFinished();
    }
    UiTest::TearDown();
  }

  static QString Executable() { return QString::fromStdString(Paths::ProgramFile()); }

  // Waits up to `ms` for the condition; true when it came.
  static bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
      if (timer.elapsed() > ms) return false;
      QThread::msleep(50);
    }
    return true;
  }

  // Runs `organizer --restore ...` to its end; returns the exit code and its output.
  static std::pair<int, std::string> Restore(const QStringList& args) {
    QProcess restore;
    restore.setProcessChannelMode(QProcess::MergedChannels);
    restore.start(Executable(), QStringList{"--restore"} + args);
    restore.waitForFinished(20000);
    return {restore.exitCode(), restore.readAll().toStdString()};
  }

  QProcess m_program;
};

}  // namespace

TEST_F(RunningProgramTest, TheRunningProgramBacksUpOnceShownAndRefusesARestoreUntilItEnds) {
  const std::string database = DBL::GetDatabasePath();
  const std::string today = DailyBackup(database).Folder() + "/" + DailyBackup::FileName(DailyBackup::Today());
  m_program.start(Executable(), {});
  ASSERT_TRUE(m_program.waitForStarted());
  InstanceLock probe(InstanceLock::PathFor(database));
  ASSERT_TRUE(WaitFor([&] { return fs::exists(today); }, 20000)) << "no copy made while running";
  EXPECT_FALSE(probe.TryLockExclusive()) << "the running program holds its lock";

  TaskRecord task;
  task.category_id = 1;
  task.name = "after the backup";
  ASSERT_GT(InsertTask(task), 0);
  const auto [refused, refusal] = Restore({QString::fromStdString(today)});
  EXPECT_EQ(refused, 1);
  EXPECT_NE(refusal.find("Orvale Organizer is running"), std::string::npos) << refusal;
  EXPECT_EQ(ListTasks().size(), 2u);

  m_program.kill();
  ASSERT_TRUE(m_program.waitForFinished());
  const auto [restored, report] = Restore({QString::fromStdString(DailyBackup::FileName(DailyBackup::Today()))});
  EXPECT_EQ(restored, 0) << report;
  ASSERT_EQ(ListTasks().size(), 1u);
  EXPECT_EQ(ListTasks().front().name, "in the backup");
}
