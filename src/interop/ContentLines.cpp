#include "interop/ContentLines.h"


#include "interop/InteropError.h"

namespace Interop {

namespace {

// The part before the value: name and parameters (quoted colons skipped).
std::string_view Head(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return line.substr(0, i);
  }
  return line;
}

bool IsQuotedPrintable(std::string_view line) {
  return Upper(Head(line)).find("QUOTED-PRINTABLE") != std::string::npos;
}

// True when the line names a character set other than UTF-8 (or US-ASCII):
// its bytes are then that set's, converted later.
bool HasOtherCharset(std::string_view line) {
  const std::string_view raw = Head(line);
  if (raw.find('=') == std::string_view::npos) return false;  // most lines: no parameter values at all
  const std::string head = Upper(raw);
  const size_t at = head.find("CHARSET=");
  if (at == std::string::npos) return false;
  const std::string_view set = std::string_view(head).substr(at + 8);
  return !(set.starts_with("UTF-8") || set.starts_with("\"UTF-8") || set.starts_with("US-ASCII"));
}

// Where the physical line starting at `pos` ends: its CR or LF, or the end.
size_t LineEnd(std::string_view file, size_t pos) {
  while (pos < file.size() && file[pos] != '\r' && file[pos] != '\n') ++pos;
  return pos;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string MegaBytes(size_t bytes) {
  const size_t tenths = (bytes * 10 + (1 << 19)) >> 20;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

void Finish(std::vector<ContentLine>& lines, ContentLine& current) {
  if (current.text.empty()) return;
  if (!HasOtherCharset(current.text) && !IsUtf8(current.text)) {
    throw InteropError(current.line, "the text is not valid UTF-8");
  }
  lines.push_back(std::move(current));
  current = ContentLine{};
}

}  // namespace

bool IsUtf8(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned min = 0;
    unsigned code = 0;
    if ((c & 0xE0) == 0xC0) {
      length = 2, min = 0x80, code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3, min = 0x800, code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4, min = 0x10000, code = c & 0x07;
    } else {
      return false;
    }
    if (i + length > n) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
    if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    i += length;
  }
  return true;
}

// ASCII only, whatever the locale: a byte of a UTF-8 sequence is never changed.
std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::vector<ContentLine> SplitContentLines(std::string_view file) {
  if (file.find_first_not_of(" \t\r\n") == std::string_view::npos) throw InteropError(0, "the file is empty");
  if (file.size() > kMaxFileBytes) throw InteropError(0, "the file is larger than " + MegaBytes(kMaxFileBytes));

  std::vector<ContentLine> lines;
  ContentLine current;
  int number = 0;
  // A byte order mark is not part of the first line.
  size_t pos = file.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (pos < file.size()) {
    const size_t end = LineEnd(file, pos);
    const std::string_view physical = file.substr(pos, end - pos);
    ++number;
    pos = end;
    if (pos < file.size() && file[pos] == '\r') ++pos;
    if (pos < file.size() && file[pos] == '\n') ++pos;
    if (physical.empty()) {
      // A quoted-printable value that ends in "=" before an empty line ends there.
      if (!current.text.empty() && current.text.back() == '=' && IsQuotedPrintable(current.text)) {
        current.text.pop_back();
        Finish(lines, current);
      }
      continue;
    }
    if (physical.find('\0') != std::string_view::npos) throw InteropError(number, "the line holds a NUL byte");

    const bool continues = !current.text.empty() && (physical[0] == ' ' || physical[0] == '\t');
    const bool softBreak = !current.text.empty() && current.text.back() == '=' && IsQuotedPrintable(current.text);
    const size_t begin = static_cast<size_t>(physical.data() - file.data());
    if (continues) {
      current.text.append(physical.substr(1));
    } else if (softBreak) {
      current.text.pop_back();
      current.text.append(physical);
    } else {
      Finish(lines, current);
      current.line = number;
      current.text.assign(physical);
      current.begin = begin;
    }
    current.end = begin + physical.size();
    if (current.text.size() > kMaxLineBytes) {
      // Measured to its end, for the message, without keeping it.
      size_t length = current.text.size();
      size_t scan = pos;
      while (scan < file.size() && (file[scan] == ' ' || file[scan] == '\t' || IsQuotedPrintable(current.text))) {
        size_t stop = file.find_first_of("\r\n", scan);
        if (stop == std::string_view::npos) stop = file.size();
        length += stop - scan;
        scan = file.find_first_not_of("\r\n", stop);
        if (scan == std::string_view::npos) break;
        if (!(file[scan] == ' ' || file[scan] == '\t')) break;
      }
      throw InteropError(current.line, "a property of " + MegaBytes(std::max(length, current.text.size())) +
                                           " is longer than the " + MegaBytes(kMaxLineBytes) + " allowed");
    }
  }
  Finish(lines, current);
  return lines;
}

std::string RawText(std::string_view file, const std::vector<ContentLine>& lines, size_t first, size_t last) {
  std::string text;
  for (size_t i = first; i <= last && i < lines.size(); ++i) {
    const ContentLine& line = lines[i];
    if (line.begin == std::string::npos) {
      text += FoldLine(line.text);
      continue;
    }
    const std::string_view raw = file.substr(line.begin, line.end - line.begin);
    for (size_t k = 0; k < raw.size();) {
      const size_t stop = LineEnd(raw, k);
      text.append(raw.substr(k, stop - k));
      if (stop == raw.size()) break;
      k = stop + (raw[stop] == '\r' && stop + 1 < raw.size() && raw[stop + 1] == '\n' ? 2 : 1);
      // Empty lines between the folds (CR CR LF endings) are not kept.
      if (!text.ends_with("\r\n")) text += "\r\n";
    }
    text += "\r\n";
    // A quoted-printable value left ending in "=" was ended by an empty line; so it stays.
    if (raw.ends_with('=') && IsQuotedPrintable(line.text)) text += "\r\n";
  }
  return text;
}

std::string FoldLine(std::string_view line) {
  constexpr size_t kWidth = 75;
  std::string out;
  out.reserve(line.size() + line.size() / 37 + 2);
  size_t pos = 0;
  size_t width = kWidth;
  while (line.size() - pos > width) {
    size_t cut = pos + width;
    // Back up to the start of a character.
    while (cut > pos + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(pos, cut - pos));
    out += "\r\n ";
    pos = cut;
    width = kWidth - 1;
  }
  out.append(line.substr(pos));
  out += "\r\n";
  return out;
}

std::string PropertyName(std::string_view line) {
  size_t end = line.find_first_of(";:");
  std::string_view name = line.substr(0, end);
  if (const size_t dot = name.find('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  return Upper(name);
}

void CheckStructure(const std::vector<ContentLine>& lines, std::string_view root) {
  struct Open {
    std::string name;
    int line;
  };
  std::vector<Open> open;
  bool any = false;
  for (const ContentLine& line : lines) {
    const std::string name = PropertyName(line.text);
    const bool begin = name == "BEGIN";
    const bool end = name == "END";
    const size_t colon = line.text.find(':');
    // Only a component's name is compared; long values are not copied.
    const std::string value = colon == std::string::npos || !(begin || end) ? "" : Upper(line.text.substr(colon + 1));
    if (open.empty() && !begin) {
      const std::string start = line.text.substr(0, 40);
      throw InteropError(line.line, any ? "text after the last END:" + std::string(root)
                                        : "this is not " + std::string(root == "VCARD" ? "a vCard" : "an iCalendar") +
                                              " file (it starts with \"" + start + "\")");
    }
    if (begin) {
      if (open.empty() && value != root) {
        throw InteropError(line.line, "BEGIN:" + value + " where BEGIN:" + std::string(root) + " was expected");
      }
      if (static_cast<int>(open.size()) >= kMaxDepth) {
        throw InteropError(line.line, "components are nested deeper than " + std::to_string(kMaxDepth) + " levels");
      }
      open.push_back({value, line.line});
      any = true;
    } else if (end) {
      if (value != open.back().name) {
        throw InteropError(line.line, "END:" + value + " does not close BEGIN:" + open.back().name + " of line " +
                                          std::to_string(open.back().line));
      }
      open.pop_back();
    }
  }
  if (!open.empty()) {
    throw InteropError(open.back().line, "the file ends inside BEGIN:" + open.back().name +
                                             " (no END:" + open.back().name + "; is the file cut off?)");
  }
}

}  // namespace Interop
