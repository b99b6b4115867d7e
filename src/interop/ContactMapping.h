#pragma once

#include <string>

#include "interop/InteropItem.h"
#include "interop/RecordFields.h"
#include "interop/VCard.h"

namespace Interop {

// Contacts and vCards:
//
// | contact field | vCard                                                    |
// |---------------|----------------------------------------------------------|
// | lname, fname, mname | N (family; given; additional); FN when N is empty  |
// | disp_info     | FN when it is more than the three names ("Dr. A. Doe")   |
// | address       | ADR, one line each: its non-empty parts joined by ", "   |
// | email, phone  | EMAIL, TEL, one line each: "value (type,type)"           |
// | note          | NOTE (several joined by line breaks)                     |
// | cat_id        | CATEGORIES (the first known name; see Importer)          |
// | identity      | UID; a card without one is known by a hash of its text   |
//
// Everything else (PHOTO, ORG, BDAY, URL, X- properties, groups, parameters)
// stays in the kept card. Written as vCard 3.0.

InteropItem ContactFromCard(const VCard& card);

// The vCard of a contact. `kept` is the card it was imported from ("" for a
// contact made here); `before` the fields it had then. Only the fields that
// changed since are written over the kept card; the rest stays as it was.
std::string CardForContact(const ContactRecord& contact, const std::string& category, const std::string& uid,
                           const std::string& kept, const RecordFields& before);

// Names as the organizer joins them, and a text's first `limit` characters
// (code points, never cutting one); shared with the calendar mapping.
std::string JoinNonEmpty(const std::vector<std::string>& parts, const std::string& separator);
std::string FirstCharacters(const std::string& text, size_t limit);
// A stable UID for something that has none: a hash of its text.
std::string DerivedUid(const std::string& text);

}  // namespace Interop
