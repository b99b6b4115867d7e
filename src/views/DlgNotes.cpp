#include "views/DlgNotes.h"

#include "db/OleDate.h"
#include "editors/DlgAddEditNote.h"
#include "records/Categories.h"
#include "records/Notes.h"

DlgNotes::DlgNotes()
    : DlgRecordView(kTemplateId, kIdList, kCategoryNotes,
                    {"Notes", "Are you sure you want to delete this Note?", "No Notes were selected for deletion!",
                     "Please select a Note to edit!", "The Note could not be deleted."}) {}

bool DlgNotes::OnInitDialog() {
  InitDialogBase(kTemplateId);
  SetUpList({{"Subject", 355}, {"Category", 100}, {"Last Updated", 105}});
  // Not filled here: the main window's tab set-up fills the page when it is
  // first shown, and reading the notes at start-up is time the user waits.
  return true;
}

void DlgNotes::RefreshList() {
  ShowRecords(ListNotes(), [](const NoteRecord& note) {
    return QStringList{QString::fromStdString(note.subject), QString::fromStdString(note.catname),
                       QString::fromStdString(OleDate::ShortDateText(note.last_updated))};
  });
}

// The editor is a modal child of the main window, which it is centred on.
bool DlgNotes::RunEditor(bool isNew, int id) {
  DlgAddEditNote editor(isNew, id, window());
  return editor.DoModal() == kIdOk;
}

int DlgNotes::DeleteRecord(int id) { return DeleteNote(id); }
