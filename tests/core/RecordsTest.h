#pragma once

#include <functional>
#include <string>
#include <vector>

#include "OrganizerTest.h"

// Base of the record and reminder tests: reaches the database file directly,
// around the data store, to arrange what the operations cannot and to see
// exactly what reached SQLite.
class RecordsTest : public OrganizerTest {
 protected:
  // Runs SQL on its own connection; the test fails when it does not succeed.
  void Exec(const std::string& sql);
  // The first column of the first row as stored, without decoding.
  std::string Stored(const std::string& sql);
  // From now on every insert, update and delete fails inside SQLite.
  void RefuseWrites(const std::string& table);
  // The statements that reached SQLite while `run` ran, in order, without the
  // data store's own read-back of a new row id.
  std::vector<std::string> Statements(const std::function<void()>& run);
};
