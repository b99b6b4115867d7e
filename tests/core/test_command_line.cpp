#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

struct Args {
  explicit Args(std::vector<std::string> args) : words(std::move(args)) {
    words.insert(words.begin(), "orvale-organizer");
    for (std::string& word : words) argv.push_back(word.data());
  }
  int argc() const { return static_cast<int>(argv.size()); }

  std::vector<std::string> words;
  std::vector<char*> argv;
};

CommandLineRequest Parse(std::vector<std::string> words) {
  Args args(std::move(words));
  return ParseCommandLine(args.argc(), args.argv.data());
}

struct Outcome {
  std::optional<int> code;
  std::string out;
  std::string err;
};

Outcome RunWith(std::vector<std::string> words) {
  Args args(std::move(words));
  std::ostringstream out;
  std::ostringstream err;
  const std::optional<int> code = RunCommandLine(args.argc(), args.argv.data(), out, err);
  return {code, out.str(), err.str()};
}

}  // namespace

TEST(CommandLineTest, NoArgumentsAndQtsOwnOptionsStartTheProgram) {
  EXPECT_EQ(Parse({}).action, CommandLineRequest::kStart);
  for (const std::vector<std::string>& qt :
       {std::vector<std::string>{"-platform", "offscreen"}, {"--platform", "xcb"}, {"-style", "fusion", "-reverse"},
        {"-session", "10abc", "-display", ":3"}, {"-qwindowgeometry", "800x600+0+0"}}) {
    EXPECT_EQ(Parse(qt).action, CommandLineRequest::kStart) << qt[0];
  }
  EXPECT_EQ(RunWith({"-platform", "offscreen"}).code, std::nullopt) << "left for the QApplication";
}

TEST(CommandLineTest, UnknownOptionsAndStrayArgumentsAreRefusedWithTheUsageAndCodeTwo) {
  const Outcome unknown = RunWith({"--frobnicate"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("unknown option '--frobnicate'"), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find("Usage: orvale-organizer [--restore [FILE]] [--help] [--version]\n"), std::string::npos);

  // Files beside another action are strays; alone they are files to open.
  EXPECT_EQ(Parse({"--version", "notes.txt"}).action, CommandLineRequest::kUsageError);
  EXPECT_NE(Parse({"--export", "a.ics", "notes.txt"}).problem.find("unexpected argument 'notes.txt'"),
            std::string::npos);
  EXPECT_EQ(Parse({"-x"}).action, CommandLineRequest::kUsageError);
  EXPECT_EQ(Parse({"--version", "--bogus"}).action, CommandLineRequest::kUsageError) << "checked whole";
  // A Qt option whose value is missing would swallow nothing and start silently wrong.
  EXPECT_EQ(Parse({"-style"}).action, CommandLineRequest::kUsageError);
  EXPECT_EQ(Parse({"--restore", "a", "b"}).action, CommandLineRequest::kUsageError);
  EXPECT_EQ(RunWith({"--restore", "a", "b"}).code, 2);
}

TEST(CommandLineTest, FilesAloneStartTheProgramToOpenThem) {
  const CommandLineRequest request = Parse({"-platform", "xcb", "plants.ics", "/home/ann/people.vcf"});
  EXPECT_EQ(request.action, CommandLineRequest::kStart);
  EXPECT_EQ(request.files, (std::vector<std::string>{"plants.ics", "/home/ann/people.vcf"})) << "Qt's value is no file";
  EXPECT_EQ(RunWith({"plants.ics"}).code, std::nullopt) << "left for the window";
}

TEST(CommandLineTest, HelpWinsAndNamesEveryOption) {
  EXPECT_EQ(Parse({"--bogus", "-h"}).action, CommandLineRequest::kHelp);
  EXPECT_EQ(Parse({"-h"}).action, CommandLineRequest::kHelp);
  EXPECT_EQ(Parse({"--restore", "--help"}).action, CommandLineRequest::kHelp);
  const Outcome help = RunWith({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.err, "");
  for (const char* option : {"--restore", "--restore FILE", "-h, --help", "--version", "XDG_DATA_HOME"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

TEST(CommandLineTest, VersionPrintsTheNameAndVersionAlone) {
  const Outcome version = RunWith({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("Orvale Organizer [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
  EXPECT_EQ(RunWith({"-platform", "xcb", "--version"}).out, version.out);
}

TEST(CommandLineTest, RestoreTakesAnOptionalFile) {
  EXPECT_EQ(Parse({"--restore"}).action, CommandLineRequest::kListBackups);
  const CommandLineRequest restore = Parse({"--restore", "organizer-2024-03-01.db"});
  EXPECT_EQ(restore.action, CommandLineRequest::kRestore);
  EXPECT_EQ(restore.restoreFile, "organizer-2024-03-01.db");
  EXPECT_EQ(Parse({"--restore", "-platform", "offscreen"}).action, CommandLineRequest::kListBackups);
}

namespace {

TEST(SyncCommandLine, AddAccountNeedsAnAddressAndAUser) {
  const CommandLineRequest request = Parse({"--add-account", "https://dav.example.org", "ann"});
  EXPECT_EQ(request.action, CommandLineRequest::kAddAccount);
  EXPECT_EQ(request.files, (std::vector<std::string>{"https://dav.example.org", "ann"}));
  for (const auto& words : {std::vector<std::string>{"--add-account"}, {"--add-account", "dav.example.org"},
                            {"--add-account", "dav.example.org", "--sync"}}) {
    const Outcome outcome = RunWith(words);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_NE(outcome.err.find("--add-account needs a server address and a user name"), std::string::npos);
  }
}

TEST(SyncCommandLine, SyncAndAccountsAreOursWhileQtKeepsItsSingleDashSync) {
  EXPECT_EQ(Parse({"--sync"}).action, CommandLineRequest::kSync);
  EXPECT_EQ(Parse({"--accounts"}).action, CommandLineRequest::kAccounts);
  EXPECT_EQ(Parse({"-sync"}).action, CommandLineRequest::kStart);
}

TEST(SyncCommandLine, AnAnswerForAnEmptiedCollectionGoesWithSyncAlone) {
  EXPECT_EQ(Parse({"--sync"}).emptied, Sync::EmptyAnswer::kAsk);
  EXPECT_EQ(Parse({"--sync", "--delete-here"}).emptied, Sync::EmptyAnswer::kDeleteHere);
  EXPECT_EQ(Parse({"--put-back", "--sync"}).emptied, Sync::EmptyAnswer::kPutBack);
  for (const auto& words : {std::vector<std::string>{"--put-back"}, {"--accounts", "--delete-here"},
                            {"--sync", "--delete-here", "--put-back"}}) {
    const Outcome outcome = RunWith(words);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_NE(outcome.err.find("--delete-here and --put-back"), std::string::npos) << outcome.err;
  }
}

}  // namespace
