#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "interop/CalendarMapping.h"
#include "interop/ContactMapping.h"
#include "interop/InteropError.h"
#include "interop/VCard.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every file in the seed corpus and every input the fuzzers found a fault
// with: read (and written back) or refused with a reason, nothing else.
void ReplayAll(const std::string& reader, const std::function<void(const std::string&)>& read) {
  int files = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path folder = fs::path(ORGANIZER_FUZZ_DIR) / kind / reader;
    if (!fs::is_directory(folder)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      ++files;
      const std::string text = Read(entry.path());
      try {
        read(text);
      } catch (const Interop::InteropError& e) {
        EXPECT_FALSE(std::string(e.what()).empty()) << entry.path();
      }
    }
  }
  EXPECT_GT(files, 0) << "the seed corpus is in the tree";
}

}  // namespace

TEST(FuzzInputsTest, VCardReaderTakesEveryKeptInput) {
  ReplayAll("vcard", [](const std::string& text) {
    for (const Interop::VCard& card : Interop::ReadVCards(text)) {
      const Interop::InteropItem item = Interop::ContactFromCard(card);
      Interop::CardForContact(item.contact, "x", item.uid, item.component, {});
    }
  });
}

TEST(FuzzInputsTest, CalendarReaderTakesEveryKeptInput) {
  ReplayAll("calendar", [](const std::string& text) {
    std::vector<std::string> written;
    for (const Interop::InteropItem& item : Interop::ReadCalendar(text).items) {
      if (item.kind == 0) written.push_back(Interop::ComponentForTask(item.task, "x", item.uid, item.component, {}));
      if (item.kind == 2) written.push_back(Interop::ComponentForEvent(item.event, item.uid, item.component, {}));
      if (item.kind == 3) written.push_back(Interop::ComponentForNote(item.note, "x", item.uid, item.component, {}));
    }
    Interop::CalendarFile(written);
  });
}
