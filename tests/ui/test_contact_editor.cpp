#include <QLineEdit>

#include "EditorTest.h"
#include "db/DBL.h"
#include "editors/DlgAddContact.h"
#include "editors/DlgMngCategories.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "ui/CAutoCombo.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

using Editor = DlgAddContact;

QLineEdit* Line(Editor& e, int id) { return qobject_cast<QLineEdit*>(e.GetDlgItem(id)); }
CMyRichEditCtrl* Field(Editor& e, int id) { return qobject_cast<CMyRichEditCtrl*>(e.GetDlgItem(id)); }
CAutoCombo* Category(Editor& e) { return qobject_cast<CAutoCombo*>(e.GetDlgItem(Editor::kIdCategory)); }

int LastContactId() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select max(id) as id from contact");
  return rows.Next() ? rows.GetInt("id") : -1;
}

int CountContacts() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select count(*) as num from contact");
  return rows.Next() ? rows.GetInt("num") : -1;
}

class ContactEditorTest : public EditorTest {
 protected:
  static void Save(Editor& e) { Click(e.GetDlgItem(DlgBase::kIdOk)); }

  // Every text control of the editor with the record field it shows.
  static std::vector<std::pair<int, std::string ContactRecord::*>> TextControls() {
    return {{Editor::kIdLast, &ContactRecord::lname},       {Editor::kIdFirst, &ContactRecord::fname},
            {Editor::kIdMiddle, &ContactRecord::mname},     {Editor::kIdDisplay, &ContactRecord::disp_info},
            {Editor::kIdAddress, &ContactRecord::address},  {Editor::kIdEmail, &ContactRecord::email},
            {Editor::kIdPhone, &ContactRecord::phone},      {Editor::kIdNote, &ContactRecord::note}};
  }

  static QString TextOf(Editor& e, int id) {
    if (QLineEdit* line = Line(e, id)) return line->text();
    return Field(e, id)->StoredText();
  }

  static void SetText(Editor& e, int id, const std::string& text) {
    if (QLineEdit* line = Line(e, id)) {
      line->setText(QString::fromStdString(text));
    } else {
      Field(e, id)->SetStoredText(QString::fromStdString(text));
    }
  }
};

}  // namespace

TEST_F(ContactEditorTest, WhatIsTypedInEveryFieldIsStoredAndShownAgainExactly) {
  ContactRecord typed;
  typed.lname = "O'Brien";
  typed.fname = "Seán \"Jack\"";
  typed.mname = QString::fromUtf8("李 🙂").toStdString();
  typed.disp_info = QString::fromUtf8("מנהל פרויקט — project lead").toStdString();
  typed.address = "12 Harbour Road\r\nDún Laoghaire\r\nCo. Dublin";
  typed.email = "sean@example.org\nwork: s.obrien@example.com";
  typed.phone = "+353 1 555 0100\r\n\r\nmobile: 087 555 0101";
  typed.note = QString::fromUtf8("likes 'tea', not \"coffee\" ☕\n\n  indented line  ").toStdString();
  Editor editor(true, -1);
  ASSERT_EQ(RunModal<Editor>(editor,
                             [&](Editor& e) {
                               EXPECT_EQ(e.windowTitle(), "Add Contact");
                               for (const auto& [id, field] : TextControls()) SetText(e, id, typed.*field);
                               Category(e)->SelectItem(Category(e)->findText("Friends"));
                               Save(e);
                             }),
            DlgBase::kIdOk);
  const int id = LastContactId();
  const ContactRecord stored = LoadContact(id);
  for (const auto& [control, field] : TextControls()) EXPECT_EQ(stored.*field, typed.*field) << control;
  EXPECT_EQ(stored.cat_id, ListCategories(kCategoryContacts)[1].id);

  Editor edit(false, id);
  ASSERT_EQ(RunModal<Editor>(edit,
                             [&](Editor& e) {
                               EXPECT_EQ(e.windowTitle(), "Edit Contact");
                               for (const auto& [control, field] : TextControls()) {
                                 EXPECT_EQ(TextOf(e, control).toStdString(), typed.*field) << control;
                               }
                               EXPECT_EQ(Category(e)->currentText(), "Friends");
                               Save(e);
                             }),
            DlgBase::kIdOk);
  const ContactRecord saved = LoadContact(id);
  EXPECT_EQ(saved, stored) << "saved unchanged, nothing changes";
  EXPECT_EQ(CountContacts(), 1);
}

TEST_F(ContactEditorTest, OneNamePartIsEnoughAndNoneIsRefused) {
  Editor editor(true, -1);
  ASSERT_EQ(RunModal<Editor>(editor,
                             [](Editor& e) {
                               Line(e, Editor::kIdDisplay)->setText("someone");
                               Save(e);
                               EXPECT_TRUE(e.isVisible());
                               EXPECT_EQ(CountContacts(), 0);
                               QTest::keyClicks(Line(e, Editor::kIdMiddle), "Maria");
                               Save(e);
                             }),
            DlgBase::kIdOk);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("Please enter a Contact Name."), int(kMessageNotice)));
  const ContactRecord contact = LoadContact(LastContactId());
  EXPECT_EQ(contact.mname, "Maria");
  EXPECT_EQ(contact.fname, "");
  EXPECT_EQ(contact.lname, "");
  EXPECT_EQ(contact.disp_info, "someone");
}

TEST_F(ContactEditorTest, AContactWhoseCategoryIsGoneIsFiledUnderTheFirst) {
  ContactRecord contact;
  contact.lname = "Berg";
  contact.cat_id = 999;
  const int id = InsertContact(contact);
  ASSERT_GT(id, 0);
  Editor editor(false, id);
  RunModal<Editor>(editor, [](Editor& e) {
    EXPECT_EQ(Category(e)->currentText(), "Family");
    Save(e);
  });
  EXPECT_EQ(LoadContact(id).cat_id, ListCategories(kCategoryContacts)[0].id);
}

TEST_F(ContactEditorTest, TheCategoryBoxShowsEachCommentAndFollowsTheManager) {
  const int id = [] {
    ContactRecord contact;
    contact.fname = "Anna";
    contact.cat_id = ListCategories(kCategoryContacts)[2].id;  // Work
    return InsertContact(contact);
  }();
  Editor editor(false, id);
  RunModal<Editor>(editor, [](Editor& e) {
    CAutoCombo* box = Category(e);
    EXPECT_TRUE(box->HasTwoColumns());
    EXPECT_EQ(box->SecondColumnOffset(), 160);
    WhenModal<DlgMngCategories>([](DlgMngCategories& manager) {
      EXPECT_EQ(manager.windowTitle(), "Manage Contact Categories");
      QTest::keyClicks(manager.GetDlgItem(DlgMngCategories::kIdName), "Climbing");
      QTest::keyClicks(manager.GetDlgItem(DlgMngCategories::kIdComment), "Thursdays at the wall");
      Click(manager.GetDlgItem(DlgMngCategories::kIdAdd));
      Click(manager.GetDlgItem(DlgBase::kIdOk));
    });
    Click(e.GetDlgItem(Editor::kIdCategories));
    ASSERT_EQ(box->count(), 4);
    EXPECT_EQ(box->ItemText(3), "Climbing");
    EXPECT_EQ(box->SecondText(3), "Thursdays at the wall");
    EXPECT_EQ(box->SecondText(0), "") << "each row its own comment";
    EXPECT_EQ(box->currentText(), "Work") << "the stored category is chosen again";
    Save(e);
  });
  EXPECT_EQ(ListCategories(kCategoryContacts).size(), 4u);
  EXPECT_EQ(ListCategories(kCategoryTasks).size(), 3u) << "contact categories, not task ones";
}

TEST_F(ContactEditorTest, AFailedUpdateIsToldAndKeepsEverythingTyped) {
  ContactRecord contact;
  contact.lname = "Okafor";
  contact.cat_id = ListCategories(kCategoryContacts)[0].id;
  const int id = InsertContact(contact);
  ASSERT_GT(id, 0);
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set note_sort = 0; create trigger no_update before update on contact "
                               "begin select raise(abort, 'refused'); end"),
            0);
  Editor editor(false, id);
  const int result = RunModal<Editor>(editor, [](Editor& e) {
    Line(e, Editor::kIdFirst)->setText("Grace");
    Field(e, Editor::kIdAddress)->setPlainText("4 Mill Lane\nLeeds");
    Save(e);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(Line(e, Editor::kIdFirst)->text(), "Grace");
    EXPECT_EQ(Field(e, Editor::kIdAddress)->StoredText(), "4 Mill Lane\nLeeds");
    EXPECT_EQ(DBL::ExecuteUpdate("update settings set note_sort = 0; drop trigger no_update"), 0);
    Save(e);
  });
  EXPECT_EQ(result, DlgBase::kIdOk);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].first.rfind("The Contact \"Okafor, Grace\" was not saved: ", 0), 0u) << m_messages[0].first;
  EXPECT_EQ(LoadContact(id).address, "4 Mill Lane\nLeeds");
}

TEST_F(ContactEditorTest, ControlsCarryNamesForAssistiveTools) {
  Editor editor(true, -1);
  editor.Create();
  const std::pair<int, const char*> names[] = {
      {Editor::kIdLast, "Last name"},          {Editor::kIdFirst, "First name"},
      {Editor::kIdMiddle, "Middle name"},      {Editor::kIdCategory, "Category"},
      {Editor::kIdCategories, "Categories..."}, {Editor::kIdDisplay, "Display Information"},
      {Editor::kIdAddress, "Addresses"},       {Editor::kIdEmail, "Email"},
      {Editor::kIdPhone, "Phone"},             {Editor::kIdNote, "Notes"},
      {DlgBase::kIdOk, "Save"},                {DlgBase::kIdCancel, "Cancel"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(editor.GetDlgItem(id)->accessibleName(), name) << id;
}
