#pragma once

#include <QStringList>
#include <vector>

#include "records/UndoHistory.h"
#include "ui/CColorListCtrl.h"
#include "ui/DlgBase.h"

// A page of the main window: one list of records with the Add, Delete and
// Edit operations the main window's buttons reach. The four record pages
// differ only in their columns, rows and records, which they supply.
class DlgRecordView : public DlgBase {
  Q_OBJECT

 public:
  // What the page says to the user, by case.
  struct Texts {
    const char* listName;         // what a screen reader calls the list
    const char* confirmDelete;    // a Yes/No question
    const char* nothingToDelete;  // no row selected
    const char* nothingToEdit;
    const char* deleteFailed;     // the record could not be deleted
  };
  struct Column {
    const char* caption;
    int width;  // pixels, when the list has the room
  };

  void OnAddItem() override;
  void OnDeleteItems() override;
  void OnEditItem() override;
  void FocusList() override;
  // Takes the user's current colours into the list, which copied them when it
  // was set up; pages with more to recolour add it.
  virtual void ApplyColors();

  CColorListCtrl* GetList() const { return m_list; }
  int GetRecordKind() const { return m_kind; }

  // Brings the record's row into the list and selects it; false when the
  // page does not list it.
  virtual bool SelectRecord(int id);

 signals:
  // A record was deleted; `title` is its name as the user knows it.
  void recordDeleted(const QString& title);

 protected:
  // `kind` as CategoryKind: which records the page lists.
  DlgRecordView(int templateId, int listId, int kind, const Texts& texts);

  // Columns, the user's list colours and the text font; grid lines and whole-row selection.
  void SetUpList(const std::vector<Column>& columns);
  // Shows or hides a column; the others share the room.
  void ShowColumn(int column, bool shown);
  // Where the list stood before its rows were replaced: the selected record,
  // its row and how far the list was scrolled.
  struct ListPlace {
    int id = -1;
    int row = -1;
    int scroll = 0;
  };
  ListPlace SavePlace() const;
  // Selects the record that was selected or, when it is gone, the row that
  // took its place (the first row after a fresh start), and keeps the list
  // scrolled where it was with the selection in view: a refill never moves
  // the selection under the user's next key.
  void RestorePlace(const ListPlace& place);
  // Replaces the rows with one per record, in order: the texts cellsOf gives
  // it, and its id as the row's value. The selection keeps its record.
  template <typename Record, typename CellsOf>
  void ShowRecords(const std::vector<Record>& records, CellsOf cellsOf);

  // The list keeps its place and reaches to the page's right and bottom edges,
  // leaving the same margin there as on its left.
  void resizeEvent(QResizeEvent* event) override;

  // The row Edit works on: the selected one by default.
  virtual int RowToEdit() const;
  // The kind (CategoryKind) of the record on a row, and what is said about
  // it: the page's own unless the page lists records of more than one kind.
  virtual int RowKind(int row) const;
  virtual const Texts& RowTexts(int row) const;
  // The user's colour for a task priority (1 high, 2 medium, else low).
  static int PriorityColor(int priorityId);
  // Runs the editor of the page's records on a new record (id -1) or on the
  // given one; true when the user saved it.
  virtual bool RunEditor(bool isNew, int id) = 0;
  // Called after an editor saved a new record, before the list is refreshed.
  virtual void OnRecordAdded() {}
  // Returns 0 when the record is gone, as the data store does.
  virtual int DeleteRecord(int id) = 0;
  // Deletes the record of a row, keeping it for undo; says so when it could not.
  void DeleteRow(int row);
  // Keeps a change of a record, stored as `before` shows it until now, for undo,
  // with the record `made` (when > 0) that the same change brought about.
  void RecordChange(UndoStep::Kind kind, RecordSnapshot before, int made = 0);

  // The record an edit of one occurrence of a series made of it ("this one
  // only"); RunEditor sets it, so that undo takes that record away too.
  int m_detachedByEdit = 0;

 private:
  void ApplyListColors();
  void FitColumns();
  // The list's right-click (or menu key) menu: Import... and Export....
  void ShowListMenu(const QPoint& at);
  // Selects and shows a row the user acted on.
  void SelectAndShow(int row);

  CColorListCtrl* m_list;
  int m_kind;
  Texts m_texts;
  std::vector<int> m_widths;  // as chosen, before fitting
};

template <typename Record, typename CellsOf>
void DlgRecordView::ShowRecords(const std::vector<Record>& records, CellsOf cellsOf) {
  const ListPlace place = SavePlace();
  m_list->setUpdatesEnabled(false);
  m_list->BeginReplaceItems();
  int row = 0;
  for (const Record& record : records) {
    const QStringList cells = cellsOf(record);
    for (int column = 0; column < cells.size(); ++column) m_list->SetCellText(row, column, cells[column]);
    m_list->SetItemValue(row, record.id);
    ++row;
  }
  m_list->EndReplaceItems();
  RestorePlace(place);
  m_list->setUpdatesEnabled(true);
}
