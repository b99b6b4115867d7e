#include "records/Priorities.h"

#include "records/RecordRows.h"

std::vector<PriorityRecord> ListPriorities() {
  return RecordRows::ReadAll<PriorityRecord>("select id, name, comment, color from priority",
                                             [](const DBL::MemResultSet& row) {
                                               return PriorityRecord{row.GetInt("id"), row.GetString("name"),
                                                                     row.GetString("comment"), row.GetInt("color")};
                                             });
}
