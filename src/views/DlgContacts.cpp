#include "views/DlgContacts.h"

#include "editors/DlgAddContact.h"
#include "records/Categories.h"
#include "records/Contacts.h"

DlgContacts::DlgContacts()
    : DlgRecordView(kTemplateId, kIdList, kCategoryContacts,
                    {"Contacts", "Are you sure you want to delete this Contact?", "No Contacts selected for deletion!",
                     "Please select a Contact to edit!", "The Contact could not be deleted."}) {}

bool DlgContacts::OnInitDialog() {
  InitDialogBase(kTemplateId);
  SetUpList({{"Name", 300}, {"Category", 75}, {"Additional Information", 300}});
  return true;
}

void DlgContacts::RefreshList() {
  ShowRecords(ListContacts(), [](const ContactRecord& contact) {
    return QStringList{QString::fromStdString(ContactListName(contact)),
                       QString::fromStdString(contact.catname), QString::fromStdString(contact.disp_info)};
  });
}

// The editor is a modal child of the main window, which it is centred on.
bool DlgContacts::RunEditor(bool isNew, int id) {
  DlgAddContact editor(isNew, id, window());
  return editor.DoModal() == kIdOk;
}

int DlgContacts::DeleteRecord(int id) { return DeleteContact(id); }
