#pragma once

#include <functional>
#include <string>

#include "db/MemResultSet.h"
#include "db/SQLException.h"

// The only code that talks to SQLite. Every call opens organizer.db, runs one
// statement and closes the file again, so no window ever holds a handle.
namespace DBL {

// Each returns the new row id, positive, only for a row that is stored; 0 when
// the statement text did not take effect as a whole (a full disk, a lock held
// past the timeout, a read-only or missing file), -1 when the id could not be
// read back.
int ExecuteInsert(const std::string& sql);
int ExecuteInsert(const std::string& sql, const std::string& dbFile);

// Each returns 0 when the change is stored, otherwise SQLite's result code
// (12, SQLITE_NOTFOUND, when no row was changed), or -1 when the file does not open.
int ExecuteUpdate(const std::string& sql);
int ExecuteUpdate(const std::string& sql, const std::string& dbFile);
int ExecuteDelete(const std::string& sql);
int ExecuteDelete(const std::string& sql, const std::string& dbFile);

// The whole result, copied into memory; fewer rows or none when the query fails.
MemResultSet ExecuteQuery(const std::string& sql);

// The stored text encoding: quotes are replaced by markers so that a text can
// sit between apostrophes in a statement. Stored files rely on these markers.
std::string EncodeText(const std::string& text);
std::string DecodeText(const std::string& text);

std::string IntToString(int value);
std::string RealToString(double value);  // "%f": six decimals, no exponent

std::string GetDatabasePath();

// How many single-statement writes (ExecuteInsert, ExecuteUpdate,
// ExecuteDelete) this process has stored: an edit of the person's, as
// opposed to the bulk work of an import or a sync.
unsigned long SingleWriteCount();

// For tests: when set, connections opened afterwards report the text of every
// statement SQLite starts on them. An empty function removes it.
using StatementObserver = std::function<void(const std::string& sql)>;
void SetStatementObserver(StatementObserver observer);

// For tests: how long a statement waits for another connection's lock before
// it fails; 5 s unless set. Applies to connections opened afterwards.
void SetBusyTimeout(int milliseconds);

}  // namespace DBL
