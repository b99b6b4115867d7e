#include "interop/ContactMapping.h"

#include <QCryptographicHash>
#include <algorithm>

#include "interop/InteropError.h"

namespace Interop {

namespace {

// "value (type,type)" for one EMAIL or TEL; types that say nothing are left out.
std::string LineWithTypes(const VCardProperty& property) {
  std::vector<std::string> types;
  for (const std::string& type : property.Types()) {
    if (type == "internet" || type == "pref" || type == "x400") continue;
    if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
  }
  const std::string value = UnescapeValue(property.value);
  return types.empty() ? value : value + " (" + JoinNonEmpty(types, ",") + ")";
}

// Back from "value (type,type)".
VCardProperty PropertyFromLine(const std::string& name, const std::string& line) {
  VCardProperty property;
  property.name = name;
  std::string value = line;
  if (line.size() > 3 && line.back() == ')') {
    const size_t open = line.rfind(" (");
    if (open != std::string::npos && line.find(')', open) == line.size() - 1) {
      value = line.substr(0, open);
      std::vector<std::string> types;
      const std::string list = line.substr(open + 2, line.size() - open - 3);
      size_t start = 0;
      for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1) {
        types.push_back(list.substr(start, comma - start));
      }
      types.push_back(list.substr(start));
      property.params.push_back({"TYPE", types});
    }
  }
  property.value = EscapeValue(value);
  return property;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string FullName(const ContactRecord& c) { return JoinNonEmpty({c.fname, c.mname, c.lname}, " "); }

// Replaces every property named `name` by `replacement`, in the place of the first.
void Replace(std::vector<VCardProperty>& properties, const std::string& name,
             const std::vector<VCardProperty>& replacement) {
  auto first = std::find_if(properties.begin(), properties.end(),
                            [&](const VCardProperty& p) { return p.name == name; });
  const size_t at = first == properties.end() ? properties.size() : static_cast<size_t>(first - properties.begin());
  std::vector<VCardProperty> kept;
  kept.reserve(properties.size() + replacement.size());
  for (size_t i = 0; i < properties.size(); ++i) {
    if (i == at) kept.insert(kept.end(), replacement.begin(), replacement.end());
    if (properties[i].name != name) kept.push_back(std::move(properties[i]));
  }
  if (at == properties.size()) kept.insert(kept.end(), replacement.begin(), replacement.end());
  properties.swap(kept);
}

VCardProperty Simple(const std::string& name, const std::string& value) {
  VCardProperty property;
  property.name = name;
  property.value = value;
  return property;
}

}  // namespace

std::string JoinNonEmpty(const std::vector<std::string>& parts, const std::string& separator) {
  std::string joined;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!joined.empty()) joined += separator;
    joined += part;
  }
  return joined;
}

std::string FirstCharacters(const std::string& text, size_t limit) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == limit) return text.substr(0, i);
  }
  return text;
}

std::string DerivedUid(const std::string& text) {
  const QByteArray hash = QCryptographicHash::hash(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
                                                   QCryptographicHash::Sha1);
  return "orvale-" + hash.toHex().toStdString();
}

InteropItem ContactFromCard(const VCard& card) {
  InteropItem item;
  item.kind = 1;
  item.line = card.line;
  item.component = card.text;
  ContactRecord& c = item.contact;
  std::vector<std::string> addresses, emails, phones, notes;
  std::string formatted;
  for (const VCardProperty& p : card.properties) {
    if (p.name == "N") {
      const std::vector<std::string> parts = SplitValue(p.value, ';');
      c.lname = parts.size() > 0 ? parts[0] : "";
      c.fname = parts.size() > 1 ? parts[1] : "";
      c.mname = parts.size() > 2 ? parts[2] : "";
    } else if (p.name == "FN") {
      formatted = UnescapeValue(p.value);
    } else if (p.name == "ADR") {
      std::vector<std::string> parts = SplitValue(p.value, ';');
      for (std::string& part : parts) std::replace(part.begin(), part.end(), '\n', ' ');
      const std::string line = JoinNonEmpty(parts, ", ");
      if (!line.empty()) addresses.push_back(line);
    } else if (p.name == "EMAIL" && !p.value.empty()) {
      emails.push_back(LineWithTypes(p));
    } else if (p.name == "TEL" && !p.value.empty()) {
      phones.push_back(LineWithTypes(p));
    } else if (p.name == "NOTE") {
      notes.push_back(UnescapeValue(p.value));
    } else if (p.name == "CATEGORIES") {
      for (const std::string& name : SplitValue(p.value, ',')) {
        if (!name.empty()) item.categories.push_back(name);
      }
    } else if (p.name == "UID") {
      item.uid = UnescapeValue(p.value);
    }
  }
  if (c.fname.empty() && c.mname.empty() && c.lname.empty()) {
    c.fname = formatted;
  } else if (formatted != FullName(c)) {
    c.disp_info = formatted;
  }
  if (c.fname.empty() && c.lname.empty() && c.mname.empty()) {
    if (const VCardProperty* org = card.Find("ORG")) c.fname = JoinNonEmpty(SplitValue(org->value, ';'), ", ");
  }
  if (c.fname.empty() && c.lname.empty() && c.mname.empty() && !emails.empty()) c.fname = emails.front();
  c.address = JoinNonEmpty(addresses, "\n");
  c.email = JoinNonEmpty(emails, "\n");
  c.phone = JoinNonEmpty(phones, "\n");
  c.note = JoinNonEmpty(notes, "\n");
  if (item.uid.empty()) item.uid = DerivedUid(card.text);
  return item;
}

std::string CardForContact(const ContactRecord& contact, const std::string& category, const std::string& uid,
                           const std::string& kept, const RecordFields& before) {
  std::vector<VCardProperty> properties;
  if (!kept.empty()) {
    std::vector<VCard> cards = ReadVCards(kept);
    if (!cards.empty()) properties = std::move(cards.front().properties);
  }
  const RecordFields now = FieldsOf(contact);
  const auto changed = [&](const char* field) { return FieldChanged(before, now, field); };
  if (changed("fname") || changed("mname") || changed("lname") || changed("disp_info")) {
    const std::string nValue = EscapeValue(contact.lname) + ";" + EscapeValue(contact.fname) + ";" +
                               EscapeValue(contact.mname) + ";;";
    Replace(properties, "N", {Simple("N", nValue)});
    const std::string formatted = contact.disp_info.empty() ? FullName(contact) : contact.disp_info;
    Replace(properties, "FN", {Simple("FN", EscapeValue(formatted))});
  }
  if (changed("address")) {
    std::vector<VCardProperty> adr;
    for (const std::string& line : Lines(contact.address)) {
      adr.push_back(Simple("ADR", ";;" + EscapeValue(line) + ";;;;"));
    }
    Replace(properties, "ADR", adr);
  }
  if (changed("email")) {
    std::vector<VCardProperty> email;
    for (const std::string& line : Lines(contact.email)) email.push_back(PropertyFromLine("EMAIL", line));
    Replace(properties, "EMAIL", email);
  }
  if (changed("phone")) {
    std::vector<VCardProperty> tel;
    for (const std::string& line : Lines(contact.phone)) tel.push_back(PropertyFromLine("TEL", line));
    Replace(properties, "TEL", tel);
  }
  if (changed("note")) {
    Replace(properties, "NOTE",
            contact.note.empty() ? std::vector<VCardProperty>{} : std::vector{Simple("NOTE", EscapeValue(contact.note))});
  }
  if (changed("category")) {
    Replace(properties, "CATEGORIES",
            category.empty() ? std::vector<VCardProperty>{} : std::vector{Simple("CATEGORIES", EscapeValue(category))});
  }
  // A card known by the hash of its text has no UID of its own: it gets one now.
  bool hasUid = false;
  for (const VCardProperty& p : properties) hasUid |= p.name == "UID";
  if (!hasUid) properties.push_back(Simple("UID", EscapeValue(uid)));
  if (!std::any_of(properties.begin(), properties.end(), [](const VCardProperty& p) { return p.name == "FN"; })) {
    properties.insert(properties.begin(), Simple("FN", EscapeValue(FullName(contact))));
  }
  if (!std::any_of(properties.begin(), properties.end(), [](const VCardProperty& p) { return p.name == "N"; })) {
    properties.insert(properties.begin(), Simple("N", EscapeValue(contact.lname) + ";" + EscapeValue(contact.fname) +
                                                          ";" + EscapeValue(contact.mname) + ";;"));
  }
  return WriteVCard(properties);
}

}  // namespace Interop
