#pragma once

#include <string>

namespace DBL {

// Copies the organizer database at `source` to `target` with SQLite's online
// backup, so that the copy is consistent even while another program writes to
// the source. The copy is made under a temporary name, readable by the user
// alone, and takes the place of `target` only when it passes CheckDatabase;
// otherwise nothing at `target` changes. Returns "" or why there is no copy.
std::string CopyDatabase(const std::string& source, const std::string& target);

// How many records of each kind a database holds, as listed to the user.
struct RecordCounts {
  int tasks = 0;
  int contacts = 0;
  int events = 0;
  int notes = 0;
};

// Reads the counts from the file without changing it; false when it cannot.
bool CountRecords(const std::string& path, RecordCounts& counts);

}  // namespace DBL
