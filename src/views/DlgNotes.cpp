#include "views/DlgNotes.h"

#include "db/OleDate.h"
#include "records/Notes.h"
#include "ui/CColorListCtrl.h"

DlgNotes::DlgNotes()
    : DlgRecordView(kTemplateId, kIdList,
                    {"Are you sure you want to delete this Note?", "No Notes were selected for deletion!",
                     "Please select a Note to edit!", "The Note could not be deleted."}) {}

bool DlgNotes::OnInitDialog() {
  InitDialogBase(kTemplateId);
  SetUpList({{"Subject", 355}, {"Category", 100}, {"Last Updated", 105}});
  RefreshList();
  return true;
}

void DlgNotes::RefreshList() {
  CColorListCtrl* list = GetList();
  list->setUpdatesEnabled(false);
  list->DeleteAllItems();
  int row = 0;
  for (const NoteRecord& note : ListNotes()) {
    list->SetCellText(row, 0, QString::fromStdString(note.subject));
    list->SetCellText(row, 1, QString::fromStdString(note.catname));
    list->SetCellText(row, 2, QString::fromStdString(OleDate::ShortDateText(note.last_updated)));
    list->SetItemValue(row, note.id);
    ++row;
  }
  SelectFirstRow();
  list->setUpdatesEnabled(true);
}

// The note editor is not built yet.
bool DlgNotes::RunEditor(bool, int) { return false; }

int DlgNotes::DeleteRecord(int id) { return DeleteNote(id); }
