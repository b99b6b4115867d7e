#pragma once

#include "editors/DlgRecordEditor.h"
#include "records/Notes.h"

class CAutoCombo;
class CButtonST;
class CColorEdit;
class CMyRichEditCtrl;

// Writes a new note or edits one: a subject of at most 100 characters, a
// category and the text. Every save stamps the note with the time of the save.
// It writes the note itself before it ends with OK; a write that fails keeps it
// open with everything typed.
class DlgAddEditNote : public DlgRecordEditor {
  Q_OBJECT

 public:
  enum { kTemplateId = 111 };
  enum {
    kIdTitle = 1070,
    kIdSubjectLabel = 1067,
    kIdSubject = 1033,
    kIdCategoryLabel = 1080,
    kIdCategory = 1008,
    kIdCategories = 1001,
    kIdContent = 1068,
  };
  // Characters, however many bytes each takes.
  static constexpr int kSubjectLimit = 100;

  DlgAddEditNote(bool isNew, int id, QWidget* parent = nullptr);

 protected:
  bool OnInitDialog() override;
  // Save: validates, writes the note and ends with OK.
  void OnOK() override;

 private:
  void FillCategories();
  NoteRecord RecordFromControls() const;

  bool m_isNew;
  int m_id;
  NoteRecord m_note;
  CColorEdit* m_subject;
  CAutoCombo* m_category;
  CButtonST* m_categories;
  CMyRichEditCtrl* m_content;
};
