#include "db/DatabaseFile.h"

#include <sqlite3.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <vector>

#include "db/SchemaText.h"

namespace DBL {

namespace {

// Tables and columns that the program reads and writes.
const std::map<std::string, std::set<std::string>>& RequiredColumns() {
  static const std::map<std::string, std::set<std::string>> kTables = {
      {"category", {"id", "type_id", "name", "comment"}},
      {"contact", {"id", "cat_id", "fname", "mname", "lname", "disp_info", "address", "email", "phone", "note"}},
      {"event", {"id", "event_date", "using_time", "event_time", "title", "note", "warning"}},
      {"note", {"id", "subject", "content", "last_updated", "category_id"}},
      {"priority", {"id", "name", "comment", "color"}},
      {"task",
       {"id", "category_id", "priority_id", "name", "description", "deadline", "deadline_time", "due_date",
        "due_time", "warning", "updated_warning", "completed"}},
      {"settings",
       {"password_protect", "password", "autostart", "min_startup", "stay_on_top", "transparent",
        "clr_background", "clr_text", "clr_border", "clr_highlight", "clr_lo_prior", "clr_med_prior",
        "clr_hi_prior", "install_id", "note_sort", "task_sort", "contact_sort"}},
  };
  return kTables;
}

// Runs a read-only query and collects the first two columns of each row.
// Returns SQLite's result code.
int Collect(sqlite3* db, const char* sql, std::vector<std::array<std::string, 2>>& rows) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  if (rc != SQLITE_OK) return rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::array<std::string, 2> row;
    for (int c = 0; c < 2 && c < sqlite3_column_count(stmt); ++c) {
      const unsigned char* text = sqlite3_column_text(stmt, c);
      row[static_cast<size_t>(c)] = text ? reinterpret_cast<const char*>(text) : "";
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Why a read of the file failed with SQLite's result code rc.
std::string ReadFailure(sqlite3* db, int rc) {
  return rc == SQLITE_NOTADB ? std::string("it is not a database file")
                             : std::string("it cannot be read (") + sqlite3_errmsg(db) + ")";
}

// Opens the file read-only for one of the checks; "" and `db` set when it opened.
std::string OpenForCheck(const std::string& path, sqlite3** db) {
  std::error_code error;
  if (std::filesystem::file_size(path, error) == 0 && !error) return "the file is empty";
  const int rc = sqlite3_open_v2(path.c_str(), db, SQLITE_OPEN_READONLY, nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = std::string("it cannot be opened (") + sqlite3_errstr(rc) + ")";
    sqlite3_close(*db);
    *db = nullptr;
    return why;
  }
  sqlite3_busy_timeout(*db, 5000);
  // The check reads each page once: a large cache would only hold memory.
  sqlite3_exec(*db, "PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
  return "";
}

std::string PagesProblem(sqlite3* db) {
  std::vector<std::array<std::string, 2>> rows;
  const int rc = Collect(db, "PRAGMA quick_check", rows);
  if (rc != SQLITE_OK) return ReadFailure(db, rc);
  if (rows.empty() || rows.front()[0] != "ok") {
    return "it is damaged (" + (rows.empty() ? std::string("no result") : rows.front()[0]) + ")";
  }
  return "";
}

std::string TablesProblem(sqlite3* db) {
  std::vector<std::array<std::string, 2>> rows;
  const int rc = Collect(db,
                         "SELECT m.name, p.name FROM sqlite_master AS m JOIN pragma_table_info(m.name) AS p"
                         " WHERE m.type = 'table'",
                         rows);
  if (rc != SQLITE_OK) return ReadFailure(db, rc);
  std::set<std::string> tables;
  std::set<std::pair<std::string, std::string>> columns;
  for (const auto& row : rows) {
    tables.insert(row[0]);
    columns.emplace(row[0], row[1]);
  }
  for (const auto& [table, required] : RequiredColumns()) {
    if (!tables.count(table)) return "it holds no table \"" + table + "\"";
    for (const std::string& column : required) {
      if (!columns.count({table, column})) return "the table \"" + table + "\" has no column \"" + column + "\"";
    }
  }
  return "";
}

using Inspection = std::string (*)(sqlite3*);

// Runs the inspections in their order on one read-only connection; the first answer that is not "" counts.
std::string CheckWith(const std::string& path, std::initializer_list<Inspection> inspections) {
  sqlite3* db = nullptr;
  std::string problem = OpenForCheck(path, &db);
  for (Inspection inspect : inspections) {
    if (!problem.empty()) break;
    problem = inspect(db);
  }
  sqlite3_close(db);
  return problem;
}

}  // namespace

std::string CheckDatabase(const std::string& path) { return CheckWith(path, {PagesProblem, TablesProblem}); }

std::string CheckTables(const std::string& path) { return CheckWith(path, {TablesProblem}); }

std::string CheckPages(const std::string& path) { return CheckWith(path, {PagesProblem}); }

std::string RefusalMessage(const std::string& path, const std::string& why) {
  return "The file \"" + path + "\" is not a usable Orvale Organizer database: " + why +
         ".\n\nThe file has been left as it is. Move it aside or restore a backup, then start the program again.";
}

namespace {

std::string Check(const std::string& path) {
  const std::string problem = CheckDatabase(path);
  return problem.empty() ? std::string() : RefusalMessage(path, problem);
}

std::string CannotCreate(const std::string& path, const std::string& why) {
  return "The organizer database \"" + path + "\" could not be created: " + why + ".";
}

// Builds the database under a temporary name and links it into place, so that
// a half-made file is never left behind and a file made meanwhile is never replaced.
std::string Create(const std::string& path) {
  const std::filesystem::path target(path);
  std::error_code error;
  std::filesystem::create_directories(target.parent_path(), error);
  if (error) return CannotCreate(path, error.message());

  const std::string temporary = path + ".new-" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(temporary.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::string why;
  if (rc == SQLITE_OK) {
    const std::string script = std::string("BEGIN;\n") + SchemaText() + "\n" + IdentitySchemaText() + "\nCOMMIT;";
    rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) why = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  sqlite3_close(db);
  // The user's own records: readable by the user alone.
  if (why.empty() && ::chmod(temporary.c_str(), 0600) != 0) why = std::strerror(errno);

  if (why.empty() && ::link(temporary.c_str(), path.c_str()) != 0) {
    why = std::strerror(errno);
    if (errno == EEXIST) {  // another copy of the program was quicker
      ::unlink(temporary.c_str());
      return Check(path);
    }
  }
  ::unlink(temporary.c_str());
  return why.empty() ? std::string() : CannotCreate(path, why);
}

}  // namespace

namespace {

// Whether identity.sql would change anything: a record without its identity,
// or an identity without its record. Also true when the table or its index is missing.
bool IdentitiesOutOfDate(sqlite3* db) {
  std::vector<std::array<std::string, 2>> rows;
  // One identity per record at most (the key is kind and record): when every
  // identity still has its record and the counts are equal, every record has
  // one. Counting is cheap, and this runs at every start.
  const int rc = Collect(db,
                         "SELECT EXISTS (SELECT 1 FROM record_identity"
                         " WHERE (kind = 0 AND record_id NOT IN (SELECT id FROM task))"
                         " OR (kind = 1 AND record_id NOT IN (SELECT id FROM contact))"
                         " OR (kind = 2 AND record_id NOT IN (SELECT id FROM event))"
                         " OR (kind = 3 AND record_id NOT IN (SELECT id FROM note)))"
                         " OR (SELECT count(*) FROM record_identity WHERE kind = 0) <> (SELECT count(*) FROM task)"
                         " OR (SELECT count(*) FROM record_identity WHERE kind = 1) <> (SELECT count(*) FROM contact)"
                         " OR (SELECT count(*) FROM record_identity WHERE kind = 2) <> (SELECT count(*) FROM event)"
                         " OR (SELECT count(*) FROM record_identity WHERE kind = 3) <> (SELECT count(*) FROM note)"
                         " OR NOT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'record_identity_by_uid')",
                         rows);
  return rc != SQLITE_OK || rows.empty() || rows.front()[0] != "0";
}

}  // namespace

void UpdateIdentities(const std::string& path) {
  sqlite3* db = nullptr;
  const bool opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  if (opened) sqlite3_busy_timeout(db, 5000);
  // Most starts find nothing to do: a read then takes no write lock that
  // would hold up the window's own first writes.
  if (opened && IdentitiesOutOfDate(db)) {
    const std::string script = std::string("BEGIN IMMEDIATE;\n") + IdentitySchemaText() + "\nCOMMIT;";
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  sqlite3_close(db);
}

std::string FileVersion(const std::string& path) {
  struct stat info {};
  unsigned char header[28] = {};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";
  const bool read = ::fstat(fd, &info) == 0 && ::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
  ::close(fd);
  if (!read) return "";
  const unsigned long counter = (static_cast<unsigned long>(header[24]) << 24) | (header[25] << 16) | (header[26] << 8) | header[27];
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
         std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ":" + std::to_string(counter);
}

std::string PrepareDatabase(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return Create(path);
  std::string problem = Check(path);
  // A file that cannot be written (read-only, a full disk) still opens: only
  // import and export need the identities, and they report the failure.
  if (problem.empty()) UpdateIdentities(path);
  return problem;
}

}  // namespace DBL
