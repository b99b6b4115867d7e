#include "interop/UndoableImport.h"

#include <map>
#include <utility>

#include "records/UndoHistory.h"

namespace Interop {

bool ApplyUndoably(Importer& importer, const std::function<bool(int done, int total)>& progress) {
  // The records the preview found to change, as they are before.
  std::map<std::pair<int, int>, RecordSnapshot> before;
  for (const ImportedRecord& record : importer.Records()) {
    before.emplace(std::pair(record.kind, record.id), TakeSnapshot(record.kind, record.id));
  }
  if (!importer.Apply(progress)) return false;

  UndoStep step{UndoStep::kImport, {}, {}};
  for (const ImportedRecord& record : importer.Records()) {
    RecordSnapshot after = TakeSnapshot(record.kind, record.id);
    const auto was = before.find({record.kind, record.id});
    RecordSnapshot earlier = record.added || was == before.end() ? after.Absent() : std::move(was->second);
    if (after.tables.empty() || earlier.tables.empty()) return true;
    step.before.push_back(std::move(earlier));
    step.after.push_back(std::move(after));
  }
  if (!step.after.empty()) UndoHistory::Program().Record(std::move(step));
  return true;
}

}  // namespace Interop
