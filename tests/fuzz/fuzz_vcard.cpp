// libFuzzer entry for the vCard reader and writer: any bytes either read as
// cards, which then map to contacts and are written back, or are refused
// with an InteropError. Anything else (a crash, a leak, undefined behaviour,
// another exception) is a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interop/ContactMapping.h"
#include "interop/InteropError.h"
#include "interop/VCard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    for (const Interop::VCard& card : Interop::ReadVCards(text)) {
      Interop::InteropItem item = Interop::ContactFromCard(card);
      item.contact.phone += "\n1 (work)";
      Interop::CardForContact(item.contact, "Fuzz", item.uid, item.component, Interop::FieldsOf(ContactRecord{}));
    }
  } catch (const Interop::InteropError&) {
  }
  return 0;
}
