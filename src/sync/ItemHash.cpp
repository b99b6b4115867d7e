#include "sync/ItemHash.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cctype>
#include <deque>
#include <string_view>
#include <vector>

#include "interop/ContentLines.h"
#include "interop/InteropError.h"

namespace Sync {

namespace {

// What servers rewrite on their own. The name is read as PropertyName reads
// it (after a group, any case), without making a string of it.
bool Rewritten(std::string_view line) {
  std::string_view name = line.substr(0, line.find_first_of(";:"));
  if (const size_t dot = name.find('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  if (name.empty()) return false;
  const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (first != 'P' && first != 'D' && first != 'L' && first != 'R') return false;  // most lines, at a glance
  for (const char* kind : {"PRODID", "DTSTAMP", "LAST-MODIFIED", "REV"}) {
    if (Interop::EqualsNoCase(name, kind)) return true;
  }
  return false;
}

bool LineEnd(char c) { return c == '\r' || c == '\n'; }

// True when the text can be split line by line right here with the result
// the full content-line reader gives: nothing it would refuse, and no
// quoted-printable soft break (a line ending in "="). One pass: this runs for
// every record of a collection at every sync.
bool Plain(std::string_view text) {
  if (text.size() > Interop::kMaxLineBytes) return false;
  bool content = false;
  bool ascii = true;
  char previous = 0;
  for (const char c : text) {
    if (c == '\0' || (previous == '=' && LineEnd(c))) return false;
    if (!content && c != ' ' && c != '\t' && !LineEnd(c)) content = true;
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    previous = c;
  }
  return content && previous != '=' && (ascii || Interop::IsUtf8(text));
}

// The content lines of a plain text: views into it, or into `unfolded` for
// lines that were folded. Line ends, empty lines and folds as the full reader
// takes them.
void SplitPlain(std::string_view text, std::vector<std::string_view>& lines, std::deque<std::string>& unfolded) {
  std::string_view current;
  std::string* joined = nullptr;
  const auto finish = [&] {
    if (!current.empty()) lines.push_back(joined ? std::string_view(*joined) : current);
    current = {};
    joined = nullptr;
  };
  const size_t size = text.size();
  size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (pos < size) {
    size_t end = pos;
    while (end < size && !LineEnd(text[end])) ++end;
    const std::string_view physical = text.substr(pos, end - pos);
    pos = end;
    if (pos < size && text[pos] == '\r') ++pos;
    if (pos < size && text[pos] == '\n') ++pos;
    if (physical.empty()) continue;
    if (!current.empty() && (physical[0] == ' ' || physical[0] == '\t')) {
      if (!joined) joined = &unfolded.emplace_back(current);
      joined->append(physical.substr(1));
      continue;
    }
    finish();
    current = physical;
  }
  finish();
}

}  // namespace

std::string ItemHash(const std::string& text) {
  std::vector<std::string_view> kept;
  std::deque<std::string> owned;
  bool lines = true;
  if (Plain(text)) {
    SplitPlain(text, kept, owned);
  } else {
    try {
      for (Interop::ContentLine& line : Interop::SplitContentLines(text)) {
        kept.push_back(owned.emplace_back(std::move(line.text)));
      }
    } catch (const Interop::InteropError&) {
      kept = {text};  // not content lines at all: compared as it stands
      lines = false;
    }
  }
  if (lines) {
    std::erase_if(kept, Rewritten);
    for (std::string_view& line : kept) {
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    }
  }
  std::sort(kept.begin(), kept.end());
  std::string joined;
  joined.reserve(text.size() + kept.size());
  for (std::string_view line : kept) (joined += line) += '\n';
  const QByteArray hash = QCryptographicHash::hash(QByteArrayView(joined.data(), static_cast<qsizetype>(joined.size())),
                                                   QCryptographicHash::Sha1);
  return hash.toHex().toStdString();
}

}  // namespace Sync
