#include "sync/ItemHash.h"

#include <QCryptographicHash>
#include <algorithm>
#include <vector>

#include "interop/ContentLines.h"
#include "interop/InteropError.h"

namespace Sync {

std::string ItemHash(const std::string& text) {
  std::vector<std::string> kept;
  try {
    for (Interop::ContentLine& line : Interop::SplitContentLines(text)) {
      const std::string name = Interop::PropertyName(line.text);
      if (name == "PRODID" || name == "DTSTAMP" || name == "LAST-MODIFIED" || name == "REV") continue;
      while (!line.text.empty() && (line.text.back() == ' ' || line.text.back() == '\t')) line.text.pop_back();
      kept.push_back(std::move(line.text));
    }
  } catch (const Interop::InteropError&) {
    kept = {text};  // not content lines at all: compared as it stands
  }
  std::sort(kept.begin(), kept.end());
  QCryptographicHash hash(QCryptographicHash::Sha1);
  for (const std::string& line : kept) {
    hash.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
    hash.addData("\n");
  }
  return hash.result().toHex().toStdString();
}

}  // namespace Sync
