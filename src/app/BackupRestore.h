#pragma once

#include <ostream>
#include <string>

// Putting a daily copy back in place of the database, from the command line.
namespace BackupRestore {

// Lists the copies of the database, newest first, with their dates, sizes and
// record counts, and how to restore one. Returns the process exit code.
int ListBackups(const std::string& databaseFile, std::ostream& out);

// Checks the copy (a path, or a name in the backups folder), moves the
// database aside as organizer-before-restore-<time>.db and puts the copy in
// its place. Refused while a copy of the program runs. Returns the exit code:
// 0 when restored, 1 when nothing was changed.
int Restore(const std::string& databaseFile, const std::string& copy, std::ostream& out);

// For a database file that fails its check: the newest good copy and the exact
// command that restores it, as a paragraph to add to the message; "" when
// there is no good copy.
std::string Advice(const std::string& databaseFile);

}  // namespace BackupRestore
