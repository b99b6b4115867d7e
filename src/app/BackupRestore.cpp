#include "app/BackupRestore.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/DailyBackup.h"
#include "app/InstanceLock.h"
#include "app/Paths.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseFile.h"

namespace fs = std::filesystem;

namespace BackupRestore {

namespace {

// One argument for a POSIX shell: as it is when it needs no quoting.
std::string ShellWord(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:@") ==
                           std::string::npos) {
    return word;
  }
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string RestoreCommand(const std::string& copy) {
  return ShellWord(Paths::ProgramFile()) + " --restore " + ShellWord(copy);
}

std::string SizeText(const std::string& path) {
  std::error_code error;
  const double bytes = static_cast<double>(fs::file_size(path, error));
  char text[32];
  if (bytes < 1024 * 1024) std::snprintf(text, sizeof text, "%.0f KB", bytes / 1024);
  else std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024 * 1024));
  return text;
}

std::string CountsText(const std::string& path) {
  DBL::RecordCounts counts;
  if (!DBL::CheckDatabase(path).empty() || !DBL::CountRecords(path, counts)) return "damaged, cannot be restored";
  return std::to_string(counts.tasks) + " tasks, " + std::to_string(counts.contacts) + " contacts, " +
         std::to_string(counts.events) + " events, " + std::to_string(counts.notes) + " notes";
}

std::string AsideName(const std::string& databaseFile) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
  return (fs::path(databaseFile).parent_path() / ("organizer-before-restore-" + std::string(stamp) + ".db")).string();
}

// The copy named on the command line: a path, else a file in the backups folder.
std::string FindCopy(const std::string& databaseFile, const std::string& copy) {
  std::error_code error;
  if (fs::is_regular_file(copy, error)) return fs::absolute(copy, error).string();
  const std::string inFolder = (fs::path(DailyBackup(databaseFile).Folder()) / copy).string();
  return fs::is_regular_file(inFolder, error) ? inFolder : std::string();
}

// Moves the file and the journal that belongs to it, which must never be
// left to be played back into the restored copy.
bool MoveAside(const std::string& databaseFile, const std::string& aside, std::ostream& out) {
  for (const char* suffix : {"", "-journal", "-wal"}) {
    const std::string from = databaseFile + suffix;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(from, error))) continue;
    fs::rename(from, aside + suffix, error);
    if (error) {
      out << "\"" << from << "\" could not be moved aside (" << error.message() << "); nothing was restored.\n";
      return false;
    }
  }
  return true;
}

}  // namespace

int ListBackups(const std::string& databaseFile, std::ostream& out) {
  const DailyBackup backups(databaseFile);
  const std::vector<DailyBackup::Copy> copies = backups.List();
  if (copies.empty()) {
    out << "There are no backups in \"" << backups.Folder() << "\" yet. The organizer makes one each day it runs.\n";
    return 0;
  }
  out << "Backups of \"" << databaseFile << "\", newest first:\n";
  for (const DailyBackup::Copy& copy : copies) {
    out << "  " << DailyBackup::DateText(copy.day) << "  " << fs::path(copy.path).filename().string() << "  "
        << SizeText(copy.path) << "  " << CountsText(copy.path) << "\n";
  }
  out << "\nClose the organizer, then restore one with:\n  "
      << RestoreCommand(fs::path(copies.front().path).filename().string()) << "\n";
  return 0;
}

int Restore(const std::string& databaseFile, const std::string& copy, std::ostream& out) {
  const std::string source = FindCopy(databaseFile, copy);
  if (source.empty()) {
    out << "There is no backup \"" << copy << "\", neither as a file nor in \"" << DailyBackup(databaseFile).Folder()
        << "\".\n";
    return 1;
  }
  const std::string problem = DBL::CheckDatabase(source);
  if (!problem.empty()) {
    out << "\"" << source << "\" cannot be restored: " << problem << ". Nothing was changed.\n";
    return 1;
  }
  const std::string folder = fs::path(databaseFile).parent_path().string();
  std::error_code error;
  fs::create_directories(folder, error);
  if (::access(folder.c_str(), W_OK) != 0) {
    out << "The folder \"" << folder << "\" cannot be written, so nothing can be restored into it.\n";
    return 1;
  }
  InstanceLock running(InstanceLock::PathFor(databaseFile));
  if (!running.TryLockExclusive()) {
    out << "Orvale Organizer is running. Close every copy of it (also one hidden in the notification area), "
           "then restore again. Nothing was changed.\n";
    return 1;
  }
  // The copy is made beside the database first, so that a failure leaves the database as it was.
  const std::string incoming = databaseFile + ".restoring";
  const std::string why = DBL::CopyDatabase(source, incoming);
  if (!why.empty()) {
    out << "\"" << source << "\" could not be copied: " << why << ". Nothing was changed.\n";
    return 1;
  }
  const std::string aside = AsideName(databaseFile);
  if (!MoveAside(databaseFile, aside, out)) {
    fs::remove(incoming, error);
    return 1;
  }
  fs::rename(incoming, databaseFile, error);
  if (error) {
    out << "The copy could not be put in place (" << error.message() << "). The database as it was is \"" << aside
        << "\"; the checked copy is \"" << incoming << "\".\n";
    return 1;
  }
  out << "Restored \"" << source << "\" (" << CountsText(databaseFile) << ").\n";
  if (fs::exists(aside, error)) out << "The database as it was before is kept as \"" << aside << "\".\n";
  return 0;
}

std::string Advice(const std::string& databaseFile) {
  std::error_code error;
  if (!fs::exists(databaseFile, error)) return "";
  const std::optional<DailyBackup::Copy> good = DailyBackup(databaseFile).NewestGood();
  if (!good) return "";
  return "The newest good backup is from " + DailyBackup::DateText(good->day) + ": \"" + good->path +
         "\". To put it in place (the damaged file is kept aside), run:\n" + RestoreCommand(good->path);
}

}  // namespace BackupRestore
