#pragma once

#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

struct ContactRecord {
  int id = -1;
  int cat_id = -1;
  std::string catname;  // filled by ListContacts only
  std::string fname;
  std::string mname;
  std::string lname;
  std::string disp_info;
  std::string address;
  std::string email;
  std::string phone;
  std::string note;

  bool operator==(const ContactRecord&) const = default;
};

// The name a contact is listed and named by: "last, first", or the one part
// given, with no comma or blank standing for a part left empty (the middle
// name only when it is the only part).
std::string ContactListName(const ContactRecord& contact);

// The contact with this id, or a fresh record (id -1) when there is none.
ContactRecord LoadContact(int id);
// Returns the new id (positive); 0 when nothing was stored, -1 when the new id
// could not be read back.
int InsertContact(const ContactRecord& contact);
// Each returns 0 on success, otherwise SQLite's code or -1 (no database).
int UpdateContact(const ContactRecord& contact);
int DeleteContact(int id);
// Every contact whose category exists, in the order of the contact_sort setting.
std::vector<ContactRecord> ListContacts();

// For bulk work in one transaction (import, export): the statements of
// InsertContact and UpdateContact, and every contact by id (without catname).
std::string InsertContactSql(const ContactRecord& contact);
std::string UpdateContactSql(const ContactRecord& contact);
std::vector<ContactRecord> ListContacts(DBL::Transaction& transaction);
