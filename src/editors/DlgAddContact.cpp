#include "editors/DlgAddContact.h"

#include "app/Message.h"
#include "editors/EditorControls.h"
#include "records/Categories.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

constexpr int kSecondColumnOffset = 160;

QString FromStored(const std::string& text) { return QString::fromStdString(text); }
std::string ToStored(const QString& text) { return text.toStdString(); }

}  // namespace

DlgAddContact::DlgAddContact(bool isNew, int id, QWidget* parent)
    : DlgRecordEditor(kTemplateId, parent),
      m_isNew(isNew),
      m_id(id),
      m_last(qobject_cast<CColorEdit*>(GetDlgItem(kIdLast))),
      m_first(qobject_cast<CColorEdit*>(GetDlgItem(kIdFirst))),
      m_middle(qobject_cast<CColorEdit*>(GetDlgItem(kIdMiddle))),
      m_category(qobject_cast<CAutoCombo*>(GetDlgItem(kIdCategory))),
      m_categories(qobject_cast<CButtonST*>(GetDlgItem(kIdCategories))),
      m_display(qobject_cast<CColorEdit*>(GetDlgItem(kIdDisplay))),
      m_address(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdAddress))),
      m_email(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdEmail))),
      m_phone(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdPhone))),
      m_note(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdNote))) {
  // The box is refilled only when the manager closed with "Close Window", and
  // then shows the stored category (or the first) again.
  connect(m_categories, &QAbstractButton::clicked, this, [this] {
    if (ManageCategories(kCategoryContacts)) FillCategories();
  });
}

bool DlgAddContact::OnInitDialog() {
  DlgBase::OnInitDialog();
  auto* title = qobject_cast<CColorStatic*>(GetDlgItem(kIdTitle));
  title->setText(m_isNew ? QStringLiteral("Add Contact") : QStringLiteral("Edit Contact"));
  setWindowTitle(title->text());
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdNameGroup, kIdLastLabel, kIdFirstLabel, kIdMiddleLabel, kIdCategoryLabel,
                                      kIdDisplayLabel, kIdAddressLabel, kIdEmailLabel, kIdPhoneLabel, kIdNoteLabel});
  DressSaveAndCancel();
  EditorControls::DressButton(*this, m_categories, 0);
  EditorControls::DressPickBox(*this, m_category, true, kSecondColumnOffset);
  OfferNewCategories(m_category, kCategoryContacts);

  const std::pair<QWidget*, const char*> names[] = {
      {m_last, "Last name"},    {m_first, "First name"},          {m_middle, "Middle name"},
      {m_category, "Category"}, {m_display, "Display Information"}, {m_address, "Addresses"},
      {m_email, "Email"},       {m_phone, "Phone"},                 {m_note, "Notes"},
  };
  for (const auto& [control, name] : names) control->setAccessibleName(QString::fromUtf8(name));

  if (!m_isNew) {
    m_contact = LoadContact(m_id);
    m_first->setText(FromStored(m_contact.fname));
    m_display->setText(FromStored(m_contact.disp_info));
    m_address->SetStoredText(FromStored(m_contact.address));
    m_last->setText(FromStored(m_contact.lname));
    m_email->SetStoredText(FromStored(m_contact.email));
    m_middle->setText(FromStored(m_contact.mname));
    m_note->SetStoredText(FromStored(m_contact.note));
    m_phone->SetStoredText(FromStored(m_contact.phone));
  }
  FillCategories();
  for (CMyRichEditCtrl* field : {m_address, m_email, m_phone, m_note}) EditorControls::ColorText(field);
  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgAddContact::FillCategories() {
  EditorControls::FillCategories(m_category, kCategoryContacts, m_isNew ? -1 : m_contact.cat_id);
}

ContactRecord DlgAddContact::RecordFromControls() const {
  ContactRecord contact;
  contact.id = m_id;
  contact.disp_info = ToStored(m_display->text());
  contact.address = ToStored(m_address->StoredText());
  contact.fname = ToStored(m_first->text());
  contact.lname = ToStored(m_last->text());
  contact.email = ToStored(m_email->StoredText());
  contact.mname = ToStored(m_middle->text());
  contact.note = ToStored(m_note->StoredText());
  contact.phone = ToStored(m_phone->StoredText());
  contact.cat_id = EditorControls::SelectedValue(m_category);
  return contact;
}

void DlgAddContact::OnOK() {
  const ContactRecord contact = RecordFromControls();
  if (contact.fname.empty() && contact.lname.empty() && contact.mname.empty()) {
    ShowMessage("Please enter a Contact Name.", kMessageNotice);
    return;
  }
  const bool saved = m_isNew ? InsertContact(contact) > 0 : UpdateContact(contact) == 0;
  // Named as the contacts list shows it.
  FinishSave(saved, "Contact \"" + ContactListName(contact) + "\"");
}
