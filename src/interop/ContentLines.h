#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Interop {

// One property line as iCalendar and vCard write them, unfolded, with the
// number of the physical line it starts on.
struct ContentLine {
  int line = 0;
  std::string text;
  // Where it stands in the file, folds included (npos for a line made by the
  // program), so that a component can be kept exactly as it was written.
  size_t begin = std::string::npos;
  size_t end = std::string::npos;
};

// Limits that keep every file's time and memory bounded: a property (after
// unfolding) of more than kMaxLineBytes, and components nested deeper than
// kMaxDepth, are refused.
inline constexpr size_t kMaxLineBytes = 1 << 20;
inline constexpr size_t kMaxFileBytes = size_t{256} << 20;
inline constexpr int kMaxDepth = 8;

// Splits a file into its content lines: lines end in CR LF, LF or CR; a line
// that starts with a blank continues the one before (also in the middle of a
// UTF-8 sequence); a quoted-printable value whose line ends in "=" goes on
// in the next line. Empty lines are dropped. Throws InteropError for an empty
// file, a NUL byte, a line longer than the limit, or text that is not UTF-8
// (unless the line names another CHARSET).
std::vector<ContentLine> SplitContentLines(std::string_view file);

// Checks that BEGIN and END pair up, nest no deeper than kMaxDepth, that the
// file holds one or more `root` components (VCALENDAR, VCARD) and nothing
// outside them. Throws InteropError naming the line.
void CheckStructure(const std::vector<ContentLine>& lines, std::string_view root);

// The name of a content line ("BEGIN", "DTSTART", "TEL"), upper case, without
// a group; its parameters start after it.
std::string PropertyName(std::string_view line);

// Lines first to last (indexes into `lines`) as the file wrote them, folds
// kept, each ending in CR LF; a line the program made is folded afresh.
std::string RawText(std::string_view file, const std::vector<ContentLine>& lines, size_t first, size_t last);

// Folds one content line at 75 bytes, never inside a UTF-8 sequence, ending
// each piece with CR LF.
std::string FoldLine(std::string_view line);

// True when `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// ASCII text in upper case.
std::string Upper(std::string_view text);

// Case-insensitive comparison of ASCII text.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace Interop
