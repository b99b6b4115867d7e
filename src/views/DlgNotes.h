#pragma once

#include "views/DlgRecordView.h"

// The "My Notes" page: every note by subject, category and the day it was
// last changed.
class DlgNotes : public DlgRecordView {
  Q_OBJECT

 public:
  enum { kTemplateId = 108, kIdList = 1069 };

  DlgNotes();

  void RefreshList() override;

 protected:
  bool OnInitDialog() override;
  bool RunEditor(bool isNew, int id) override;
  int DeleteRecord(int id) override;
};
