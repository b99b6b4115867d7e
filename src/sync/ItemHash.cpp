#include "sync/ItemHash.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <string_view>
#include <vector>

#include "interop/ContentLines.h"
#include "interop/InteropError.h"

namespace Sync {

namespace {

// What servers rewrite on their own. The name is read as PropertyName reads
// it (after a group, any case), in one pass and without making a string of it.
bool Rewritten(std::string_view line) {
  size_t start = 0, end = 0;
  bool grouped = false;
  for (; end < line.size() && line[end] != ';' && line[end] != ':'; ++end) {
    if (line[end] == '.' && !grouped) {
      grouped = true;
      start = end + 1;
    }
  }
  const std::string_view name = line.substr(start, end - start);
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
// quoted-printable soft break (a line ending in "="). This runs for every
// record of a collection at every sync, so each test is a scan the library
// does fast.
bool Plain(std::string_view text) {
  if (text.size() > Interop::kMaxLineBytes || text.find('\0') != std::string_view::npos) return false;
  for (size_t at = text.find('='); at != std::string_view::npos; at = text.find('=', at + 1)) {
    if (at + 1 == text.size() || LineEnd(text[at + 1])) return false;
  }
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return false;
  unsigned char high = 0;
  for (const char c : text) high |= static_cast<unsigned char>(c);
  return high < 0x80 || Interop::IsUtf8(text);
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
  size_t lf = text.find('\n', pos);  // the next LF from `pos` on, npos when there is none
  while (pos < size) {
    // The line ends at the first CR or LF: a CR is looked for only up to the
    // next LF, and that LF is found again only once passed, so texts with
    // either kind of line end alone are read once, not once per line.
    if (lf != std::string_view::npos && lf < pos) lf = text.find('\n', pos);
    const size_t limit = lf == std::string_view::npos ? size : lf;
    const void* cr = std::memchr(text.data() + pos, '\r', limit - pos);
    const size_t end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - text.data()) : limit;
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
  // Kept between calls: a sync hashes thousands of items, each would
  // otherwise allocate these anew.
  thread_local std::vector<std::string_view> kept;
  thread_local std::deque<std::string> owned;
  thread_local std::string joined;
  kept.clear();
  owned.clear();
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
  joined.clear();
  for (std::string_view line : kept) (joined += line) += '\n';
  const QByteArray hash = QCryptographicHash::hash(QByteArrayView(joined.data(), static_cast<qsizetype>(joined.size())),
                                                   QCryptographicHash::Sha1);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(2 * static_cast<size_t>(hash.size()), '0');
  for (qsizetype i = 0; i < hash.size(); ++i) {
    hex[2 * i] = kDigits[static_cast<unsigned char>(hash[i]) >> 4];
    hex[2 * i + 1] = kDigits[static_cast<unsigned char>(hash[i]) & 0xF];
  }
  return hex;
}

}  // namespace Sync
