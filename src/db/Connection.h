#pragma once

#include <string>

#include "db/MemResultSet.h"

struct sqlite3;

// What the statement runners and the transaction runner share: opening a
// connection the way every statement does, and reading a query's whole result.
namespace DBL::Connection {

// Opens the existing file with the busy timeout and statement observer set.
// Returns SQLite's code; the caller closes *db, even on failure.
int Open(const std::string& dbFile, sqlite3** db);

// The whole result of the query on `db`; fewer rows or none when it fails,
// and then *rc (when given) holds SQLite's code.
MemResultSet Query(sqlite3* db, const std::string& sql, int* rc = nullptr);

}  // namespace DBL::Connection
