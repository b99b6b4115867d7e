#include "db/DatabaseCopy.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "db/DatabaseFile.h"

namespace DBL {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// SQLite's own text for the last failure on the connection, or for the code.
std::string Why(sqlite3* db, int rc) { return db ? sqlite3_errmsg(db) : sqlite3_errstr(rc); }

std::string Backup(const std::string& source, const std::string& target) {
  sqlite3* from = nullptr;
  sqlite3* to = nullptr;
  // Read-write, so that a journal left by a crash is rolled back before the
  // pages are read; never created, so a missing source stays missing.
  int rc = sqlite3_open_v2(source.c_str(), &from, SQLITE_OPEN_READWRITE, nullptr);
  std::string why;
  if (rc != SQLITE_OK) why = "it cannot be opened (" + Why(from, rc) + ")";
  if (why.empty()) {
    sqlite3_busy_timeout(from, kBusyTimeoutMs);
    rc = sqlite3_open_v2(target.c_str(), &to, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) why = "the copy cannot be written (" + Why(to, rc) + ")";
  }
  if (why.empty()) {
    sqlite3_busy_timeout(to, kBusyTimeoutMs);
    // The copy is a temporary file until it has been checked and synced, so it
    // needs neither a journal nor SQLite's own syncs.
    sqlite3_exec(to, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
      why = Why(to, SQLITE_ERROR);
    } else {
      // All pages in one step: the source is read under one lock, so the copy is one moment's state.
      rc = sqlite3_backup_step(backup, -1);
      const int finished = sqlite3_backup_finish(backup);
      if (rc != SQLITE_DONE) why = sqlite3_errstr(rc);
      else if (finished != SQLITE_OK) why = Why(to, finished);
    }
  }
  sqlite3_close(to);
  sqlite3_close(from);
  return why;
}

// Puts the file's contents on the disk, so that a copy in place is whole after a power cut.
bool Sync(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

std::string CopyDatabase(const std::string& source, const std::string& target) {
  const std::string temporary = target + ".partial-" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  // Made owner-only before SQLite writes to it; SQLite gives its journal the same mode.
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return "the copy cannot be made (" + std::string(std::strerror(errno)) + ")";
  ::close(fd);

  std::string why = Backup(source, temporary);
  if (why.empty()) {
    why = CheckDatabase(temporary);
    if (!why.empty()) why = "the copy fails its check: " + why;
  }
  if (why.empty() && !Sync(temporary)) why = "the copy cannot be saved (" + std::string(std::strerror(errno)) + ")";
  if (why.empty() && std::rename(temporary.c_str(), target.c_str()) != 0) {
    why = "the copy cannot be put in place (" + std::string(std::strerror(errno)) + ")";
  }
  if (!why.empty()) {
    ::unlink(temporary.c_str());
    ::unlink((temporary + "-journal").c_str());
  }
  return why;
}

bool CountRecords(const std::string& path, RecordCounts& counts) {
  sqlite3* db = nullptr;
  bool read = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
  sqlite3_stmt* stmt = nullptr;
  read = read && sqlite3_prepare_v2(db,
                                    "select (select count(*) from task), (select count(*) from contact),"
                                    " (select count(*) from event), (select count(*) from note)",
                                    -1, &stmt, nullptr) == SQLITE_OK;
  read = read && sqlite3_step(stmt) == SQLITE_ROW;
  if (read) {
    counts.tasks = sqlite3_column_int(stmt, 0);
    counts.contacts = sqlite3_column_int(stmt, 1);
    counts.events = sqlite3_column_int(stmt, 2);
    counts.notes = sqlite3_column_int(stmt, 3);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return read;
}

}  // namespace DBL
