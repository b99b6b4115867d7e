#pragma once

#include "editors/DlgRecordEditor.h"
#include "records/Contacts.h"

class CAutoCombo;
class CButtonST;
class CColorEdit;
class CMyRichEditCtrl;

// Adds a contact or edits one: the three parts of the name, a category, the
// display information and four multi-line fields (addresses, e-mail, phone,
// notes). One part of the name is enough. It writes the contact itself before
// it ends with OK; a write that fails keeps it open with everything typed.
class DlgAddContact : public DlgRecordEditor {
  Q_OBJECT

 public:
  enum { kTemplateId = 113 };
  enum {
    kIdTitle = 1101,
    kIdNameGroup = 1102,
    kIdLastLabel = 1067,
    kIdLast = 1022,
    kIdFirstLabel = 1074,
    kIdFirst = 1088,
    kIdMiddleLabel = 1094,
    kIdMiddle = 1089,
    kIdCategoryLabel = 1080,
    kIdCategory = 1005,
    kIdCategories = 1001,
    kIdDisplayLabel = 1093,
    kIdDisplay = 1090,
    kIdAddressLabel = 1092,
    kIdAddress = 1091,
    kIdEmailLabel = 1096,
    kIdEmail = 1095,
    kIdPhoneLabel = 1113,
    kIdPhone = 1097,
    kIdNoteLabel = 1100,
    kIdNote = 1099,
  };

  DlgAddContact(bool isNew, int id, QWidget* parent = nullptr);

 protected:
  bool OnInitDialog() override;
  // Save: validates, writes the contact and ends with OK.
  void OnOK() override;

 private:
  void FillCategories();
  ContactRecord RecordFromControls() const;

  bool m_isNew;
  int m_id;
  ContactRecord m_contact;
  CColorEdit* m_last;
  CColorEdit* m_first;
  CColorEdit* m_middle;
  CAutoCombo* m_category;
  CButtonST* m_categories;
  CColorEdit* m_display;
  CMyRichEditCtrl* m_address;
  CMyRichEditCtrl* m_email;
  CMyRichEditCtrl* m_phone;
  CMyRichEditCtrl* m_note;
};
