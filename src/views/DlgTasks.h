#pragma once

#include <vector>

#include "records/Categories.h"
#include "records/Priorities.h"
#include "views/DlgRecordView.h"

// The "My Tasks" page: every task with its priority colour, category and
// deadline; a task is marked done with its check box, which strikes it out.
class DlgTasks : public DlgRecordView {
  Q_OBJECT

 public:
  enum { kTemplateId = 106, kIdList = 1049 };

  DlgTasks();

  void RefreshList() override;
  // The rows keep the text and priority colours they were filled with: refilled.
  void ApplyColors() override;

 protected:
  bool OnInitDialog() override;
  int RowToEdit() const override;
  bool RunEditor(bool isNew, int id) override;
  void OnRecordAdded() override;
  int DeleteRecord(int id) override;

 private:
  void OnCheckChanged(int row, int oldState, int newState);
  // Shows a row as done (struck out, light red) or not, with its check box.
  void ApplyCompleted(int row, int completed);

  std::vector<PriorityRecord> m_priorities;
  std::vector<CategoryRecord> m_categories;
  bool m_applying = false;  // the check box is being set by the page, not the user
};
