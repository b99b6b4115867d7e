#include "records/Contacts.h"

#include "app/AppBase.h"
#include "db/Transaction.h"
#include "records/RecordRows.h"

using DBL::IntToString;
using RecordRows::Quoted;

namespace {

// Everything but the category's name, which only the list selects.
ContactRecord ReadContact(const DBL::MemResultSet& row) {
  ContactRecord contact;
  contact.id = row.GetInt("id");
  contact.cat_id = row.GetInt("cat_id");
  contact.fname = row.GetString("fname");
  contact.mname = row.GetString("mname");
  contact.lname = row.GetString("lname");
  contact.disp_info = row.GetString("disp_info");
  contact.address = row.GetString("address");
  contact.email = row.GetString("email");
  contact.phone = row.GetString("phone");
  contact.note = row.GetString("note");
  return contact;
}

ContactRecord ReadListedContact(const DBL::MemResultSet& row) {
  ContactRecord contact = ReadContact(row);
  contact.catname = row.GetString("catname");
  return contact;
}

const char* OrderClause(int contactSort) {
  switch (contactSort) {
    case 0: return " order by lower(lname)";
    case 1: return "order by lower(catname)";
    default: return "";
  }
}

}  // namespace

ContactRecord LoadContact(int id) {
  return RecordRows::ReadFirst(
      "select id,cat_id,fname,mname,lname,disp_info,address,email,phone,note from contact where id = " +
          IntToString(id),
      ReadContact, ContactRecord{});
}

int InsertContact(const ContactRecord& contact) { return DBL::ExecuteInsert(InsertContactSql(contact)); }

std::string InsertContactSql(const ContactRecord& c) {
  return ("insert into contact ( cat_id,fname,mname,lname,disp_info,address,email,phone,note ) "
                            "values (" + IntToString(c.cat_id) + "," + Quoted(c.fname) + "," + Quoted(c.mname) +
                            "," + Quoted(c.lname) + "," + Quoted(c.disp_info) + "," + Quoted(c.address) + "," +
                            Quoted(c.email) + "," + Quoted(c.phone) + "," + Quoted(c.note) + ")");
}

int UpdateContact(const ContactRecord& contact) { return DBL::ExecuteUpdate(UpdateContactSql(contact)); }

std::string UpdateContactSql(const ContactRecord& c) {
  return ("update contact set cat_id = " + IntToString(c.cat_id) + ",fname = " + Quoted(c.fname) +
                            ",mname = " + Quoted(c.mname) + ",lname = " + Quoted(c.lname) +
                            ",disp_info = " + Quoted(c.disp_info) + ",address = " + Quoted(c.address) +
                            ",email = " + Quoted(c.email) + ",phone= " + Quoted(c.phone) + ",note=" +
                            Quoted(c.note) + " where id = " + IntToString(c.id));
}

int DeleteContact(int id) { return DBL::ExecuteDelete("delete from contact where id = " + IntToString(id)); }

std::vector<ContactRecord> ListContacts() {
  return RecordRows::ReadAll<ContactRecord>(
      "select contact.id,cat_id,category.name as catname,fname,mname,lname,disp_info,address,email,phone,note "
      "from contact, category where contact.cat_id = category.id " +
          std::string(OrderClause(GetApp().GetSettings().GetContactSort())),
      ReadListedContact);
}

std::vector<ContactRecord> ListContacts(DBL::Transaction& transaction) {
  return RecordRows::ReadRows<ContactRecord>(transaction.Query(
      "select id,cat_id,fname,mname,lname,disp_info,address,email,phone,note from contact order by id"), ReadContact);
}

std::string ContactListName(const ContactRecord& contact) {
  if (contact.lname.empty() && contact.fname.empty()) return contact.mname;
  if (contact.lname.empty()) return contact.fname;
  if (contact.fname.empty()) return contact.lname;
  return contact.lname + ", " + contact.fname;
}
