#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sync/SyncStore.h"

// What the command line asks for. Qt's own options (-platform, -display,
// -style, -session, ...) are left for the QApplication and mean "start".
struct CommandLineRequest {
  enum Action {
    kStart, kHelp, kVersion, kListBackups, kRestore, kImport, kExport, kAgenda,
    kAddAccount, kAccounts, kSync, kUsageError
  };
  Action action = kStart;
  std::string restoreFile;  // kRestore
  // kImport; kExport: the one file; kStart: files to open; kAddAccount: URL and USER
  std::vector<std::string> files;
  int agendaDays = 7;       // kAgenda
  // kSync: the answer for a collection that comes back empty from the server
  Sync::EmptyAnswer emptied = Sync::EmptyAnswer::kAsk;
  std::string problem;      // kUsageError: what was wrong, for the user
};

CommandLineRequest ParseCommandLine(int argc, char** argv);

// The command-line work that needs no window. Returns the exit code when the
// arguments asked for such work and it is done (2 for arguments it does not
// know); nothing when the program is to start as usual.
std::optional<int> RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);
