#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "OrganizerTest.h"
#include "app/AppBase.h"
#include "app/Paths.h"
#include "app/UTRegistryManager.h"
#include "db/DBL.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class RegistryTest : public OrganizerTest {
 protected:
  std::string AutostartFile() const { return ConfigHome() + "/autostart/org.tavrin.OrvaleOrganizer.desktop"; }
  std::string ProgramFile() const { return ConfigHome() + "/Tavrin/Orvale Organizer.conf"; }
  // Where earlier versions put the entry.
  std::string OldAutostartFile() const { return ConfigHome() + "/autostart/orvale-organizer.desktop"; }
  long AutostartEntries() const {
    return std::distance(std::filesystem::directory_iterator(ConfigHome() + "/autostart"), {});
  }
  void WriteOldEntry() const {
    std::filesystem::create_directories(ConfigHome() + "/autostart");
    std::ofstream(OldAutostartFile()) << "[Desktop Entry]\nType=Application\nName=Orvale Organizer\n"
                                         "Exec=/old/place/organizer\nHidden=false\n";
  }
};

}  // namespace

TEST_F(RegistryTest, AutostartWritesAnEntryAndTurningItOffHidesIt) {
  UTSettings& s = GetApp().GetSettings();
  ASSERT_EQ(s.SetAutostart(1), 0);
  std::string entry = ReadText(AutostartFile());
  EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
  EXPECT_NE(entry.find("Name=Orvale Organizer\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=" + Paths::ProgramFile() + "\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("Hidden=false\n"), std::string::npos);

  ASSERT_EQ(s.SetAutostart(0), 0);
  EXPECT_EQ(s.GetAutostart(), 0);
  entry = ReadText(AutostartFile());
  EXPECT_NE(entry.find("Hidden=true\n"), std::string::npos) << "the entry stays, hidden";
  EXPECT_EQ(entry.find("Exec="), std::string::npos);
}

TEST_F(RegistryTest, LoadingTheSettingsRewritesTheAutostartEntry) {
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set autostart = 1"), 0);
  std::filesystem::create_directories(ConfigHome() + "/autostart");
  std::ofstream(AutostartFile()) << "[Desktop Entry]\nExec=/old/place/organizer\n";
  GetApp().GetSettings().Load();
  const std::string entry = ReadText(AutostartFile());
  EXPECT_EQ(entry.find("/old/place"), std::string::npos);
  EXPECT_NE(entry.find("Exec=" + Paths::ProgramFile()), std::string::npos);
}

TEST_F(RegistryTest, AnEntryThatAlreadySaysItIsLeftAloneUnlessOthersMayReadIt) {
  UTSettings& s = GetApp().GetSettings();
  ASSERT_EQ(s.SetAutostart(1), 0);
  const auto identity = [this] {
    struct stat info {};
    EXPECT_EQ(::stat(AutostartFile().c_str(), &info), 0);
    return std::pair(info.st_ino, info.st_mode & 0777);
  };
  const auto written = identity();
  ASSERT_EQ(s.SetAutostart(1), 0);
  EXPECT_EQ(identity(), written) << "the same entry is not replaced";

  ::chmod(AutostartFile().c_str(), 0644);
  ASSERT_EQ(s.SetAutostart(1), 0);
  EXPECT_EQ(identity().second, 0600u) << "an entry others may read is written again";
  ASSERT_EQ(s.SetAutostart(0), 0);
  EXPECT_NE(ReadText(AutostartFile()).find("Hidden=true\n"), std::string::npos);
}

TEST_F(RegistryTest, AnEntryUnderTheOldNameIsTakenOverOnceNotDuplicated) {
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set autostart = 1"), 0);
  WriteOldEntry();
  GetApp().GetSettings().Load();
  EXPECT_FALSE(std::filesystem::exists(OldAutostartFile()));
  EXPECT_EQ(AutostartEntries(), 1);
  EXPECT_NE(ReadText(AutostartFile()).find("Exec=" + Paths::ProgramFile() + "\n"), std::string::npos);

  // Both there (an older copy wrote its entry again): the old one goes, the choice stays.
  WriteOldEntry();
  ASSERT_EQ(GetApp().GetSettings().SetAutostart(0), 0);
  EXPECT_EQ(AutostartEntries(), 1);
  EXPECT_NE(ReadText(AutostartFile()).find("Hidden=true\n"), std::string::npos);
}

TEST_F(RegistryTest, TheOldEntryStaysWhenTheNewOneCannotBeWritten) {
  WriteOldEntry();
  std::filesystem::create_directories(AutostartFile());  // a folder where the entry should be
  testing::internal::CaptureStdout();
  EXPECT_NE(GetApp().GetSettings().SetAutostart(1), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::filesystem::exists(OldAutostartFile())) << "log-in start must not be lost";
}

TEST_F(RegistryTest, TheAutostartEntryPassesTheDesktopEntryValidator) {
  if (std::system("command -v desktop-file-validate >/dev/null") != 0) GTEST_SKIP() << "desktop-file-validate";
  UTSettings& s = GetApp().GetSettings();
  for (int on : {1, 0}) {
    ASSERT_EQ(s.SetAutostart(on), 0);
    const std::string command = "desktop-file-validate '" + AutostartFile() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string complaints;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) complaints += buffer;
    EXPECT_EQ(::pclose(pipe), 0) << complaints;
    EXPECT_EQ(complaints, "") << "autostart " << on;
  }
}

TEST_F(RegistryTest, MirrorWritesTheProgramKeyOwnerOnly) {
  UTSettings& s = GetApp().GetSettings();
  s.SetInstallId(123456);
  s.SetStayOnTop(1);
  s.SetMinStartup(0);
  s.SetClrBackground(15660278);
  s.MirrorToRegistry();
  EXPECT_EQ(ReadText(ProgramFile()), "installID=123456\nontop=1\nminstartup=0\nclrForm=15660278\n");
  struct stat info {};
  ASSERT_EQ(::stat(ProgramFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(AutostartFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // A value written again replaces its line; others keep theirs; no temporary is left.
  UTRegistryManager registry;
  ASSERT_EQ(registry.WriteNumber("ontop", 0), 0);
  ASSERT_EQ(registry.WriteString("extra", "a=b"), 0);
  EXPECT_EQ(ReadText(ProgramFile()), "installID=123456\nontop=0\nminstartup=0\nclrForm=15660278\nextra=a=b\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ConfigHome() + "/Tavrin"), {}), 1);
}

TEST_F(RegistryTest, AnUnwritableFolderPrintsTheDiagnosticAndTheProgramGoesOn) {
  std::ofstream(Folder() + "/not-a-folder") << "x";
  ::setenv("XDG_CONFIG_HOME", (Folder() + "/not-a-folder").c_str(), 1);
  UTSettings& s = GetApp().GetSettings();
  testing::internal::CaptureStdout();
  EXPECT_NE(s.SetAutostart(1), 0);
  UTRegistryManager registry;
  EXPECT_NE(registry.WriteNumber("installID", 5), 0);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed, "Error in creating appname.ini key\nError in creating appname.ini key\n");
  EXPECT_EQ(s.GetAutostart(), 1) << "memory keeps the choice";
}

TEST_F(RegistryTest, AFileThatCannotBeReplacedPrintsTheSecondDiagnostic) {
  std::filesystem::create_directories(ProgramFile());  // a folder where the file should be
  testing::internal::CaptureStdout();
  UTRegistryManager registry;
  EXPECT_NE(registry.WriteNumber("installID", 5), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in setting Section1 value\n");
}

TEST(PathsTest, TheProgramFolderIsTheExecutablesAndStaysTheSame) {
  const std::string& first = Paths::ProgramFolder();
  EXPECT_TRUE(std::filesystem::exists(first + "/core_tests"));
  EXPECT_EQ(&first, &Paths::ProgramFolder());
  EXPECT_NE(first.back(), '/');
}
