#pragma once

#include <string>
#include <vector>

// A row of the fixed priority list; tasks refer to it by id.
struct PriorityRecord {
  int id = -1;
  std::string name;
  std::string comment;
  int color = 0;

  bool operator==(const PriorityRecord&) const = default;
};

// Every priority, in the order the database keeps them.
std::vector<PriorityRecord> ListPriorities();
