#pragma once

#include <string>

namespace DBL {

// Makes sure the file at `path` is an organizer database before anything else
// touches it. A missing file is created, complete with its tables and default
// rows. An existing file is only read: one that is not a usable organizer
// database is left exactly as it is.
// Returns an empty text when the database is ready, otherwise a message for
// the user that names the file and says what is wrong with it.
// An organizer database that is ready also has the tables of identities and
// kept components, and a UID for every record (see identity.sql), as far as
// the file can be written.
std::string PrepareDatabase(const std::string& path);

// Adds the identity tables when missing, gives every record without a UID
// one and drops the identities of deleted records. A failure leaves the file
// as it was.
void UpdateIdentities(const std::string& path);

// Reads the file at `path` without changing it: passes SQLite's quick check and
// holds every table and column the program uses. Returns "" when it does,
// otherwise why not, as a clause ("it is damaged (...)").
std::string CheckDatabase(const std::string& path);

// The two halves of CheckDatabase, for a caller that runs the slow one apart:
// the tables and columns (quick), and SQLite's quick check of every page.
std::string CheckTables(const std::string& path);
std::string CheckPages(const std::string& path);

// What the user is told about a file refused for `why`, naming the file.
std::string RefusalMessage(const std::string& path, const std::string& why);

// Tells whether the file may have changed since an earlier look: its place,
// size and time of change, and the change counter SQLite keeps in its header
// (raised by every write, from any process). Equal texts mean unchanged; ""
// when the file cannot be read.
std::string FileVersion(const std::string& path);

}  // namespace DBL
