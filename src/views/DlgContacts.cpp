#include "views/DlgContacts.h"

#include "records/Contacts.h"
#include "ui/CColorListCtrl.h"

DlgContacts::DlgContacts()
    : DlgRecordView(kTemplateId, kIdList,
                    {"Are you sure you want to delete this Contact?", "No Contacts selected for deletion!",
                     "Please select a Contact to edit!", "The Contact could not be deleted."}) {}

bool DlgContacts::OnInitDialog() {
  InitDialogBase(kTemplateId);
  SetUpList({{"Name", 300}, {"Category", 75}, {"Additional Information", 300}});
  return true;
}

void DlgContacts::RefreshList() {
  CColorListCtrl* list = GetList();
  list->setUpdatesEnabled(false);
  list->DeleteAllItems();
  int row = 0;
  for (const ContactRecord& contact : ListContacts()) {
    list->SetCellText(row, 0, QString::fromStdString(contact.lname + ", " + contact.fname));
    list->SetCellText(row, 1, QString::fromStdString(contact.catname));
    list->SetCellText(row, 2, QString::fromStdString(contact.disp_info));
    list->SetItemValue(row, contact.id);
    ++row;
  }
  SelectFirstRow();
  list->setUpdatesEnabled(true);
}

// The contact editor is not built yet.
bool DlgContacts::RunEditor(bool, int) { return false; }

int DlgContacts::DeleteRecord(int id) { return DeleteContact(id); }
