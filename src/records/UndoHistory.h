#pragma once

#include <deque>
#include <string>
#include <vector>

#include "records/RecordSnapshot.h"

// One change the user can take back: the records it touched as they were
// before and after it. A delete has no after, an addition no before; an
// import is one step with every record it added or changed.
struct UndoStep {
  enum Kind { kDelete, kEdit, kCompletion, kImport };
  Kind kind = kEdit;
  std::vector<RecordSnapshot> before;
  std::vector<RecordSnapshot> after;
};

// The changes of this run of the program, newest last, and those undone since,
// for redo. Undo puts the records of the newest step back as they were
// before it, in one transaction; redo puts them as they were after it.
class UndoHistory {
 public:
  static constexpr size_t kDefaultLimit = 100;
  explicit UndoHistory(size_t limit = kDefaultLimit) : m_limit(limit) {}

  // A new change: the oldest step goes past the limit, and what was undone
  // can no longer be redone.
  void Record(UndoStep step);

  bool CanUndo() const { return !m_done.empty(); }
  bool CanRedo() const { return !m_undone.empty(); }

  // Each returns 0 once the records are stored as the step says, 1 when there
  // is nothing to undo or redo, otherwise SQLite's code, and then the step
  // stays where it was. `changed` receives the step applied.
  int Undo(UndoStep* changed = nullptr);
  int Redo(UndoStep* changed = nullptr);

  // The one history of the running program.
  static UndoHistory& Program();

 private:
  size_t m_limit;
  std::deque<UndoStep> m_done;
  std::deque<UndoStep> m_undone;
};
