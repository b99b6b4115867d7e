#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Interop {

// The text a record was imported from (the time zones it refers to, its
// component and the occurrences the file changed on their own), edited
// property by property. What is not set anew is written back exactly as it
// came, folds and parameters included; reading the whole text into libical
// and writing it out again for every changed record cost most of an export.
class KeptComponent {
 public:
  // `kept` as the import stored it ("" for a record made here); `kind` is
  // "VTODO", "VEVENT" or "VJOURNAL". The master is the first component of
  // that kind without a RECURRENCE-ID, or the first of the kind at all for
  // an occurrence changed on its own; a text without one gets a new, empty
  // master after what it holds. A text that cannot be read counts as "".
  KeptComponent(std::string_view kept, std::string_view kind, bool occurrence);

  // The master's own properties of that name, unfolded (not those of its
  // alarms or other sub-components).
  std::vector<std::string> Lines(std::string_view name) const;
  bool Has(std::string_view name) const;

  // Puts `text` (folded content lines ending in CR LF; "" for none) in place
  // of every master property of that name: where the first of them stood,
  // else after the master's last property.
  void Set(std::string_view name, std::string text);

  // The same for the master's sub-components of that name (VALARM): `text`
  // is whole components; without any, it goes at the master's end.
  void SetComponents(std::string_view name, std::string text);

  // Drops the components of the master's kind beside it that have a
  // RECURRENCE-ID. True when there were any.
  bool DropOverrides();

  // The VTIMEZONE components as kept.
  std::string Zones() const;

  // Time zones first, then the components in the order they came.
  std::string Text() const;

 private:
  // One property line or one whole sub-component, as written.
  struct Part {
    std::string name;  // upper case: "SUMMARY", or the sub-component's "VALARM"
    bool component = false;
    std::string raw;  // folded, each line ending in a line end
  };
  // A component at the top of the kept text.
  struct Top {
    std::string name;
    bool override = false;
    std::string raw;
  };

  // Where a new property goes: after the master's last one.
  size_t AfterLastProperty() const;

  std::vector<Top> m_tops;
  size_t m_master = 0;  // index into m_tops; its text is m_parts
  std::string m_kind;
  std::vector<Part> m_parts;
};

}  // namespace Interop
