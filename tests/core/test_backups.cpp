// Daily copies of the database and putting one back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "RecordsTest.h"
#include "app/BackupRestore.h"
#include "app/CommandLine.h"
#include "app/DailyBackup.h"
#include "app/InstanceLock.h"
#include "db/DBL.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseFile.h"
#include "records/Contacts.h"
#include "records/Notes.h"
#include "records/Tasks.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

constexpr sys_days kFirstDay = sys_days(2024y / March / 1);  // a Friday

int AddTask(const std::string& name) {
  TaskRecord task;
  task.category_id = 1;
  task.priority_id = 1;
  task.name = name;
  return InsertTask(task);
}

// Damages the pages after the first, where the tables live, leaving the header readable.
void Damage(const std::string& path) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(4096);
  for (int i = 0; i < 8192; ++i) file.put(static_cast<char>(i * 37));
}

class BackupTest : public RecordsTest {
 protected:
  DailyBackup Backups() const { return DailyBackup(DatabasePath()); }

  std::vector<sys_days> Days() const {
    std::vector<sys_days> days;
    for (const DailyBackup::Copy& copy : Backups().List()) days.push_back(copy.day);
    return days;
  }

  // The command line as the program receives it; returns the exit code and what it printed.
  std::pair<int, std::string> Command(std::vector<std::string> args) {
    args.insert(args.begin(), "organizer");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    std::ostringstream out;
    std::ostringstream err;
    const std::optional<int> code = RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code.value_or(-100), out.str() + err.str()};
  }
};

}  // namespace

TEST_F(BackupTest, FortyDaysKeepTheLastSevenDaysAndTheFirstCopyOfEachOfFourWeeksBefore) {
  for (int day = 0; day < 40; ++day) {
    AddTask("day " + std::to_string(day));
    ASSERT_EQ(Backups().Run(kFirstDay + days(day)), "") << day;
  }
  const sys_days last = kFirstDay + days(39);
  const std::vector<sys_days> kept = Days();
  ASSERT_EQ(kept.size(), 11u);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(kept[static_cast<size_t>(i)], last - days(i));
  // Older ones: the Monday of each of the four weeks before, the current week's included.
  const std::vector<sys_days> weekly(kept.begin() + 7, kept.end());
  EXPECT_EQ(weekly, (std::vector<sys_days>{sys_days(2024y / April / 1), sys_days(2024y / March / 25),
                                           sys_days(2024y / March / 18), sys_days(2024y / March / 11)}));
  // Each copy holds the records of its own day.
  DBL::RecordCounts counts;
  ASSERT_TRUE(DBL::CountRecords(Backups().List().back().path, counts));
  EXPECT_EQ(counts.tasks, (kept.back() - kFirstDay).count() + 1);
}

TEST_F(BackupTest, ACopyIsMadeOncePerDayOwnerOnlyAndIsASoundDatabase) {
  AddTask("first");
  ASSERT_EQ(Backups().Run(kFirstDay), "");
  const std::string path = Backups().Folder() + "/organizer-2024-03-01.db";
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(DBL::CheckDatabase(path), "");

  AddTask("later the same day");
  ASSERT_EQ(Backups().Run(kFirstDay), "");
  DBL::RecordCounts counts;
  ASSERT_TRUE(DBL::CountRecords(path, counts));
  EXPECT_EQ(counts.tasks, 1) << "the day's first copy stays";
  EXPECT_EQ(std::distance(fs::directory_iterator(Backups().Folder()), {}), 1) << "no temporary files left";
}

TEST_F(BackupTest, ADamagedDatabaseGivesNoCopyAndRemovesNoOlderOne) {
  for (int i = 0; i < 200; ++i) AddTask("task number " + std::to_string(i));
  for (int day = 0; day < 20; ++day) ASSERT_EQ(Backups().Run(kFirstDay + days(day)), "");
  const std::vector<sys_days> before = Days();
  Damage(DatabasePath());
  ASSERT_NE(DBL::CheckDatabase(DatabasePath()), "");

  for (int day = 20; day < 30; ++day) EXPECT_NE(Backups().Run(kFirstDay + days(day)), "");
  EXPECT_EQ(Days(), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(Backups().Folder()), {}), static_cast<long>(before.size()));

  // The start-up message then names the newest good one and the exact command.
  const std::string advice = BackupRestore::Advice(DatabasePath());
  EXPECT_NE(advice.find(Backups().List().front().path), std::string::npos) << advice;
  EXPECT_NE(advice.find("/orvale-organizer --restore "), std::string::npos) << advice;
}

TEST_F(BackupTest, TheAdviceSkipsDamagedCopiesAndIsEmptyWithoutAGoodOne) {
  EXPECT_EQ(BackupRestore::Advice(DatabasePath()), "");
  for (int i = 0; i < 200; ++i) AddTask("task number " + std::to_string(i));
  ASSERT_EQ(Backups().Run(kFirstDay), "");
  ASSERT_EQ(Backups().Run(kFirstDay + days(1)), "");
  Damage(Backups().List().front().path);
  ASSERT_TRUE(Backups().NewestGood());
  EXPECT_EQ(Backups().NewestGood()->day, kFirstDay);
  EXPECT_NE(BackupRestore::Advice(DatabasePath()).find("2024-03-01"), std::string::npos);
}

TEST_F(BackupTest, RestoreRoundTripGivesBackTheRecordsAndKeepsTheCurrentFileAside) {
  AddTask("kept");
  ContactRecord contact;
  contact.cat_id = 4;
  contact.fname = "Ann's";
  ASSERT_GT(InsertContact(contact), 0);
  NoteRecord note;
  note.category_id = 7;
  note.subject = "a \"quoted\" note";
  ASSERT_GT(InsertNote(note), 0);
  const auto tasks = ListTasks();
  const auto contacts = ListContacts();
  const auto notes = ListNotes();
  ASSERT_EQ(Backups().Run(kFirstDay), "");

  AddTask("added after the backup");
  ASSERT_EQ(DeleteNote(notes.front().id), 0);
  const auto [code, text] = Command({"--restore", "organizer-2024-03-01.db"});
  EXPECT_EQ(code, 0) << text;
  EXPECT_EQ(ListTasks(), tasks);
  EXPECT_EQ(ListContacts(), contacts);
  EXPECT_EQ(ListNotes(), notes);
  EXPECT_EQ(fs::status(DatabasePath()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  std::vector<fs::path> aside;
  for (const auto& entry : fs::directory_iterator(fs::path(DatabasePath()).parent_path())) {
    if (entry.path().filename().string().starts_with("organizer-before-restore-")) aside.push_back(entry.path());
  }
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_NE(text.find(aside.front().string()), std::string::npos) << text;
  DBL::RecordCounts counts;
  ASSERT_TRUE(DBL::CountRecords(aside.front().string(), counts));
  EXPECT_EQ(counts.tasks, 2);
  EXPECT_EQ(counts.notes, 0);
}

TEST_F(BackupTest, RestoreIsRefusedWhileTheProgramRunsAndChangesNothing) {
  AddTask("one");
  ASSERT_EQ(Backups().Run(kFirstDay), "");
  AddTask("two");
  {
    InstanceLock running(InstanceLock::PathFor(DatabasePath()));
    ASSERT_TRUE(running.LockShared());
    const auto [code, text] = Command({"--restore", Backups().List().front().path});
    EXPECT_EQ(code, 1);
    EXPECT_NE(text.find("Orvale Organizer is running"), std::string::npos) << text;
    EXPECT_EQ(ListTasks().size(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(DatabasePath()).parent_path()), {}), 3)
        << "only the database, its lock file and the backups folder";
  }
  EXPECT_EQ(Command({"--restore", Backups().List().front().path}).first, 0) << "allowed once it has ended";
  EXPECT_EQ(ListTasks().size(), 1u);
}

TEST_F(BackupTest, RestoreRefusesADamagedOrMissingCopy) {
  for (int i = 0; i < 200; ++i) AddTask("task number " + std::to_string(i));
  ASSERT_EQ(Backups().Run(kFirstDay), "");
  Damage(Backups().List().front().path);
  const auto damaged = Command({"--restore", "organizer-2024-03-01.db"});
  EXPECT_EQ(damaged.first, 1);
  EXPECT_NE(damaged.second.find("cannot be restored"), std::string::npos) << damaged.second;
  const auto missing = Command({"--restore", "organizer-1999-01-01.db"});
  EXPECT_EQ(missing.first, 1);
  EXPECT_NE(missing.second.find("There is no backup"), std::string::npos) << missing.second;
  EXPECT_EQ(ListTasks().size(), 200u);
}

TEST_F(BackupTest, TheListShowsDatesSizesAndCountsAndNoArgumentsStartTheProgram) {
  EXPECT_NE(Command({"--restore"}).second.find("no backups"), std::string::npos);
  AddTask("one");
  ASSERT_EQ(Backups().Run(kFirstDay), "");
  AddTask("two");
  ASSERT_EQ(Backups().Run(kFirstDay + days(1)), "");
  const auto [code, text] = Command({"--restore"});
  EXPECT_EQ(code, 0);
  const size_t newer = text.find("2024-03-02  organizer-2024-03-02.db  ");
  const size_t older = text.find("2024-03-01  organizer-2024-03-01.db  ");
  ASSERT_NE(newer, std::string::npos) << text;
  EXPECT_LT(newer, older);
  EXPECT_NE(text.find(" KB  2 tasks, 0 contacts, 0 events, 0 notes", newer), std::string::npos) << text;
  EXPECT_NE(text.find("--restore organizer-2024-03-02.db"), std::string::npos) << text;

  EXPECT_EQ(Command({}).first, -100);
  EXPECT_EQ(Command({"--something-else"}).first, 2) << "unknown options are refused";
  EXPECT_EQ(Command({"--restore", "a", "b"}).first, 2);
}
