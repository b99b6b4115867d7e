#include "records/UndoHistory.h"

namespace {

// Puts the records of the newest step of `from` as they were before or after
// it, and on success moves the step over to `to`.
int Move(std::deque<UndoStep>& from, std::deque<UndoStep>& to, bool asBefore, UndoStep* changed) {
  if (from.empty()) return 1;
  const int rc = RestoreSnapshots(asBefore ? from.back().before : from.back().after);
  if (rc != 0) return rc;
  to.push_back(std::move(from.back()));
  from.pop_back();
  if (changed) *changed = to.back();
  return 0;
}

}  // namespace

void UndoHistory::Record(UndoStep step) {
  m_done.push_back(std::move(step));
  while (m_done.size() > m_limit) m_done.pop_front();
  m_undone.clear();
}

int UndoHistory::Undo(UndoStep* changed) { return Move(m_done, m_undone, true, changed); }

int UndoHistory::Redo(UndoStep* changed) { return Move(m_undone, m_done, false, changed); }

UndoHistory& UndoHistory::Program() {
  static UndoHistory history;
  return history;
}
