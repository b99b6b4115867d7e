#pragma once

#include "views/DlgRecordView.h"

// The "My Contacts" page: every contact by name, category and display
// information. It is filled when its tab becomes current.
class DlgContacts : public DlgRecordView {
  Q_OBJECT

 public:
  enum { kTemplateId = 107, kIdList = 1076 };

  DlgContacts();

  void RefreshList() override;

 protected:
  bool OnInitDialog() override;
  bool RunEditor(bool isNew, int id) override;
  int DeleteRecord(int id) override;
};
