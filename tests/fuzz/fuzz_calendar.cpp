// libFuzzer entry for the iCalendar and vCalendar reader (over libical) and
// the writer: any bytes either read as tasks, events and notes, which are
// then written back over what they came with, or are refused with an
// InteropError. Anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interop/CalendarMapping.h"
#include "interop/InteropError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const Interop::ReadResult read = Interop::ReadCalendar(text);
    std::vector<std::string> written;
    for (Interop::InteropItem item : read.items) {
      const Interop::RecordFields none;
      item.task.name += "!";
      item.event.title += "!";
      item.note.subject += "!";
      if (item.kind == 0) written.push_back(Interop::ComponentForTask(item.task, "Fuzz", item.uid, item.component, none));
      if (item.kind == 2) written.push_back(Interop::ComponentForEvent(item.event, item.uid, item.component, none));
      if (item.kind == 3) written.push_back(Interop::ComponentForNote(item.note, "Fuzz", item.uid, item.component, none));
    }
    Interop::CalendarFile(written);
  } catch (const Interop::InteropError&) {
  }
  return 0;
}
