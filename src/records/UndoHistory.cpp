#include "records/UndoHistory.h"

void UndoHistory::Record(UndoStep step) {
  m_done.push_back(std::move(step));
  while (m_done.size() > m_limit) m_done.pop_front();
  m_undone.clear();
}

int UndoHistory::Undo(UndoStep* changed) {
  if (m_done.empty()) return 1;
  const int rc = RestoreSnapshots(m_done.back().before);
  if (rc != 0) return rc;
  m_undone.push_back(std::move(m_done.back()));
  m_done.pop_back();
  if (changed) *changed = m_undone.back();
  return 0;
}

int UndoHistory::Redo(UndoStep* changed) {
  if (m_undone.empty()) return 1;
  const int rc = RestoreSnapshots(m_undone.back().after);
  if (rc != 0) return rc;
  m_done.push_back(std::move(m_undone.back()));
  m_undone.pop_back();
  if (changed) *changed = m_done.back();
  return 0;
}

UndoHistory& UndoHistory::Program() {
  static UndoHistory history;
  return history;
}
