#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Interop {

// A vCard property as read: its group ("item1"), name in upper case, its
// parameters (a vCard 2.1 bare type such as "WORK" becomes TYPE=WORK), and
// its value with the transfer encoding (quoted-printable) and character set
// already undone: UTF-8, still escaped as the version writes it.
struct VCardProperty {
  struct Param {
    std::string name;  // upper case
    std::vector<std::string> values;
  };
  std::string group;
  std::string name;
  std::vector<Param> params;
  std::string value;

  // The TYPE values, lower case, in order ("home", "pref", ...).
  std::vector<std::string> Types() const;
  const Param* FindParam(std::string_view name) const;
};

struct VCard {
  int line = 0;         // of its BEGIN:VCARD
  std::string version;  // "2.1", "3.0" or "4.0"
  std::vector<VCardProperty> properties;  // without BEGIN, END and VERSION
  std::string text;  // the card as the file wrote it, with CR LF line ends

  const VCardProperty* Find(std::string_view name) const;
};

// One content line parsed as vCard reads it (also vCalendar 1.0, which
// shares its syntax). Throws InteropError for a line without a name or value.
struct ContentLine;
VCardProperty ParseContentLine(const ContentLine& line);

// Every card of a vCard file (2.1, 3.0 or 4.0, as many as it holds). Throws
// InteropError naming the line when the file is not one.
std::vector<VCard> ReadVCards(std::string_view file);

// The card in vCard 3.0: BEGIN, VERSION:3.0, the properties, END, each line
// folded at 75 bytes without splitting a character.
std::string WriteVCard(const std::vector<VCardProperty>& properties);

// A text value as vCard 3.0 and 4.0 escape it, and back. Split breaks a
// structured (N, ADR) or list (CATEGORIES) value at unescaped separators and
// unescapes each part.
std::string EscapeValue(std::string_view text);
std::string UnescapeValue(std::string_view value);
std::vector<std::string> SplitValue(std::string_view value, char separator);

}  // namespace Interop
