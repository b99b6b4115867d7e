#pragma once

#include <string>

struct sqlite3;

namespace DBL {

// Opens an existing organizer database for reading and writing with the
// program's busy timeout set, for the parts of the data store that run more
// than one statement on a connection. The caller closes it, even on failure.
int OpenConnection(const std::string& dbFile, sqlite3** db);

}  // namespace DBL
