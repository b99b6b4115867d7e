#include "app/CommandLine.h"

#include <array>
#include <iostream>
#include <string_view>

#include "app/BackupRestore.h"
#include "app/Paths.h"
#include "db/DBL.h"
#include "interop/ExchangeCommands.h"
#include "recurrence/Agenda.h"
#include "sync/SyncCommands.h"

namespace {

// Qt's generic options, which QApplication takes out of the arguments itself.
constexpr std::array<std::string_view, 12> kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "style", "stylesheet", "name"};
constexpr std::array<std::string_view, 5> kQtFlags = {"reverse", "widgetcount", "sync", "nograb", "dograb"};

// The option's name without its one or two leading dashes, as Qt accepts both.
std::string_view QtOptionName(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '-') return {};
  arg.remove_prefix(arg[1] == '-' ? 2 : 1);
  return arg;
}

template <size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::string_view known : names) {
    if (known == name) return true;
  }
  return false;
}

CommandLineRequest Problem(std::string text) {
  CommandLineRequest request;
  request.action = CommandLineRequest::kUsageError;
  request.problem = std::move(text);
  return request;
}

void PrintUsage(std::ostream& to) {
  to << "Usage: " << Paths::kExecutableName << " [--restore [FILE]] [--help] [--version]\n"
     << "       " << Paths::kExecutableName << " --import FILE... | --export FILE | --agenda [DAYS]\n"
     << "       " << Paths::kExecutableName << " --add-account URL USER | --accounts | --sync [--delete-here | --put-back]\n"
     << "       " << Paths::kExecutableName << " [FILE...]\n";
}

void PrintHelp(std::ostream& out) {
  PrintUsage(out);
  out << "Keeps tasks, contacts, dates and events, and notes. Without options it opens the\n"
         "organizer, or brings the copy already running on the same database to the front.\n"
         "Calendar and contact files given to it open their import preview there.\n"
         "\n"
         "  --restore        list the daily backups of the database, newest first\n"
         "  --restore FILE   put the backup FILE (a path, or a name from that list) in place\n"
         "                   of the database; refused while the organizer runs\n"
         "  --import FILE... import .ics, .vcs and .vcf files, each whole or not at all\n"
         "  --export FILE    write every task, event and note (.ics) or contact (.vcf)\n"
         "  --agenda [DAYS]  list the events and undone tasks from today through DAYS days\n"
         "                   ahead (7 when not given), one per line\n"
         "  --add-account URL USER\n"
         "                   add a CalDAV/CardDAV account (the password is the first line\n"
         "                   of standard input); its first collection of each kind is used,\n"
         "                   or one named \"Orvale Organizer\" is made\n"
         "  --accounts       list the accounts, their state and collections\n"
         "  --sync           sync every account once, one line per collection\n"
         "  --delete-here, --put-back\n"
         "                   with --sync: a collection that came back empty from the\n"
         "                   server while it held many items here has them deleted here\n"
         "                   too, or put back on the server (without either it is left\n"
         "                   as it is)\n"
         "  -h, --help       show this help and exit\n"
         "  --version        show the version and exit\n"
         "\n"
         "Qt's own options (-platform, -display, -style, -session, ...) are passed on to Qt.\n"
         "\n"
         "The database is organizer.db beside the executable when one is there (a portable\n"
         "copy), otherwise $XDG_DATA_HOME/Tavrin/Orvale Organizer/organizer.db\n"
         "(XDG_DATA_HOME defaults to ~/.local/share). See orvale-organizer(1).\n";
}

}  // namespace

CommandLineRequest ParseCommandLine(int argc, char** argv) {
  CommandLineRequest request;
  // Asking for help wins over whatever else is wrong with the line.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
      request.action = CommandLineRequest::kHelp;
      return request;
    }
  }
  std::vector<std::string> toOpen;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      request.action = CommandLineRequest::kVersion;
    } else if (arg == "--restore") {
      request.action = CommandLineRequest::kListBackups;
      if (i + 1 < argc && argv[i + 1][0] != '-') {
        request.action = CommandLineRequest::kRestore;
        request.restoreFile = argv[++i];
      }
    } else if (arg == "--import") {
      request.action = CommandLineRequest::kImport;
      while (i + 1 < argc && argv[i + 1][0] != '-') request.files.emplace_back(argv[++i]);
      if (request.files.empty()) return Problem("--import needs one or more files");
    } else if (arg == "--export") {
      request.action = CommandLineRequest::kExport;
      if (i + 1 == argc || argv[i + 1][0] == '-') return Problem("--export needs a file");
      request.files.emplace_back(argv[++i]);
    } else if (arg == "--agenda") {
      request.action = CommandLineRequest::kAgenda;
      if (i + 1 < argc && argv[i + 1][0] != '-') {
        const std::string days = argv[++i];
        // Up to a hundred years ahead; a day number must not overflow.
        if (days.empty() || days.size() > 5 || days.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(days) > 36600) {
          return Problem("--agenda needs a number of days from 0 to 36600, not '" + days + "'");
        }
        request.agendaDays = std::stoi(days);
      }
    } else if (arg == "--add-account") {
      request.action = CommandLineRequest::kAddAccount;
      if (i + 2 >= argc || argv[i + 1][0] == '-' || argv[i + 2][0] == '-') {
        return Problem("--add-account needs a server address and a user name");
      }
      request.files.emplace_back(argv[++i]);
      request.files.emplace_back(argv[++i]);
    } else if (arg == "--accounts") {
      request.action = CommandLineRequest::kAccounts;
    } else if (arg == "--sync") {
      request.action = CommandLineRequest::kSync;
    } else if (arg == "--delete-here" || arg == "--put-back") {
      const Sync::EmptyAnswer answer = arg == "--delete-here" ? Sync::EmptyAnswer::kDeleteHere : Sync::EmptyAnswer::kPutBack;
      if (request.emptied != Sync::EmptyAnswer::kAsk && request.emptied != answer) {
        return Problem("--delete-here and --put-back cannot both be given");
      }
      request.emptied = answer;
    } else if (Contains(kQtOptionsWithValue, QtOptionName(arg))) {
      if (i + 1 == argc) return Problem("the option '" + std::string(arg) + "' needs a value");
      ++i;
    } else if (!arg.empty() && arg[0] != '-') {
      // A file to open, as a file manager hands it over.
      toOpen.emplace_back(arg);
    } else if (!Contains(kQtFlags, QtOptionName(arg))) {
      const bool option = arg.size() > 1 && arg[0] == '-';
      return Problem((option ? "unknown option '" : "unexpected argument '") + std::string(arg) + "'");
    }
  }
  if (request.emptied != Sync::EmptyAnswer::kAsk && request.action != CommandLineRequest::kSync) {
    return Problem("--delete-here and --put-back go with --sync");
  }
  if (!toOpen.empty()) {
    if (request.action != CommandLineRequest::kStart) return Problem("unexpected argument '" + toOpen.front() + "'");
    request.files = std::move(toOpen);
  }
  return request;
}

std::optional<int> RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  const CommandLineRequest request = ParseCommandLine(argc, argv);
  switch (request.action) {
    case CommandLineRequest::kStart:
      return std::nullopt;
    case CommandLineRequest::kHelp:
      PrintHelp(out);
      return 0;
    case CommandLineRequest::kVersion:
      out << Paths::kAppName << " " << ORGANIZER_VERSION << "\n";
      return 0;
    case CommandLineRequest::kListBackups:
      return BackupRestore::ListBackups(DBL::GetDatabasePath(), out);
    case CommandLineRequest::kRestore:
      return BackupRestore::Restore(DBL::GetDatabasePath(), request.restoreFile, out);
    case CommandLineRequest::kImport:
      return Interop::ImportFiles(request.files, out, err);
    case CommandLineRequest::kExport:
      return Interop::ExportToFile(request.files.front(), out, err);
    case CommandLineRequest::kAgenda:
      return PrintAgenda(request.agendaDays, out, err);
    case CommandLineRequest::kAddAccount:
      return Sync::AddAccountCommand(request.files[0], request.files[1], std::cin, out, err);
    case CommandLineRequest::kAccounts:
      return Sync::ListAccountsCommand(out, err);
    case CommandLineRequest::kSync:
      return Sync::SyncCommand(std::cin, out, err, request.emptied);
    case CommandLineRequest::kUsageError:
      break;
  }
  err << Paths::kExecutableName << ": " << request.problem << "\n";
  PrintUsage(err);
  err << "Try '" << Paths::kExecutableName << " --help' for more.\n";
  return 2;
}
