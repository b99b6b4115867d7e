#include "editors/DlgAddEditNote.h"

#include "app/Message.h"
#include "editors/EditorControls.h"
#include "records/Categories.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"
#include "ui/CharacterLimit.h"

namespace {
constexpr int kSecondColumnOffset = 160;
}  // namespace

DlgAddEditNote::DlgAddEditNote(bool isNew, int id, QWidget* parent)
    : DlgRecordEditor(kTemplateId, parent),
      m_isNew(isNew),
      m_id(id),
      m_subject(qobject_cast<CColorEdit*>(GetDlgItem(kIdSubject))),
      m_category(qobject_cast<CAutoCombo*>(GetDlgItem(kIdCategory))),
      m_categories(qobject_cast<CButtonST*>(GetDlgItem(kIdCategories))),
      m_content(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdContent))) {
  new CharacterLimit(m_subject, kSubjectLimit);
  // The box is refilled only when the manager closed with "Close Window", and
  // then shows the stored category (or the first) again.
  connect(m_categories, &QAbstractButton::clicked, this, [this] {
    if (ManageCategories(kCategoryNotes)) FillCategories();
  });
}

bool DlgAddEditNote::OnInitDialog() {
  DlgBase::OnInitDialog();
  auto* title = qobject_cast<CColorStatic*>(GetDlgItem(kIdTitle));
  title->setText(m_isNew ? QStringLiteral("Add New Note") : QStringLiteral("Edit Note"));
  setWindowTitle(title->text());
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdSubjectLabel, kIdCategoryLabel});
  EditorControls::DressPickBox(*this, m_category, true, kSecondColumnOffset);
  OfferNewCategories(m_category, kCategoryNotes);

  m_subject->setAccessibleName(QStringLiteral("Subject"));
  m_category->setAccessibleName(QStringLiteral("Category"));
  m_content->setAccessibleName(QStringLiteral("Note text"));

  if (!m_isNew) {
    m_note = LoadNote(m_id);
    m_subject->setText(QString::fromStdString(m_note.subject));
    m_content->SetStoredText(QString::fromStdString(m_note.content));
  }
  FillCategories();
  DressSaveAndCancel();
  EditorControls::DressButton(*this, m_categories, 0);
  EditorControls::ColorText(m_content);
  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgAddEditNote::FillCategories() {
  EditorControls::FillCategories(m_category, kCategoryNotes, m_note.category_id);
}

NoteRecord DlgAddEditNote::RecordFromControls() const {
  NoteRecord note;
  note.id = m_id;
  note.subject = m_subject->text().toStdString();
  note.content = m_content->StoredText().toStdString();
  note.category_id = EditorControls::SelectedValue(m_category);
  return note;
}

void DlgAddEditNote::OnOK() {
  const NoteRecord note = RecordFromControls();
  if (note.subject.empty()) {
    ShowMessage("Please enter a Note subject.", kMessageNotice);
    return;
  }
  const bool saved = m_isNew ? InsertNote(note) > 0 : UpdateNote(note) == 0;
  FinishSave(saved, "Note \"" + note.subject + "\"");
}
