#include "interop/KeptComponent.h"

#include <algorithm>

#include "interop/ContentLines.h"

namespace Interop {

namespace {

// One content line of a kept text, folds included.
struct RawLine {
  std::string name;       // upper case, without a group: "DTSTART", "BEGIN"
  std::string_view head;  // its first physical line, without the line end
  std::string_view raw;   // as written, line ends included
};

// Calls take(head, raw) for each content line of a text the import stored
// (so already checked): a line that starts with a blank continues the one
// before; empty lines are skipped.
template <class Take>
void ForEachLine(std::string_view text, Take take) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t begin = pos;
    size_t eol = text.find('\n', pos);
    std::string_view head = text.substr(begin, (eol == std::string_view::npos ? text.size() : eol) - begin);
    if (!head.empty() && head.back() == '\r') head.remove_suffix(1);
    pos = eol == std::string_view::npos ? text.size() : eol + 1;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
      eol = text.find('\n', pos);
      pos = eol == std::string_view::npos ? text.size() : eol + 1;
    }
    if (!head.empty()) take(head, text.substr(begin, pos - begin));
  }
}

std::vector<RawLine> SplitLines(std::string_view text) {
  std::vector<RawLine> lines;
  ForEachLine(text, [&](std::string_view head, std::string_view raw) { lines.push_back({PropertyName(head), head, raw}); });
  return lines;
}

// The lines of the kept text, or none when its components do not pair up:
// such a text is not written back.
std::vector<RawLine> ReadLines(std::string_view kept) {
  std::vector<RawLine> lines = SplitLines(kept);
  int depth = 0;
  for (const RawLine& line : lines) {
    if (line.name == "BEGIN") ++depth;
    if (line.name == "END" && --depth < 0) return {};
  }
  return depth == 0 ? lines : std::vector<RawLine>{};
}

// The component a BEGIN or END line names, upper case.
std::string Named(const RawLine& line) {
  const size_t colon = line.head.find(':');
  return colon == std::string_view::npos ? std::string() : Upper(line.head.substr(colon + 1));
}

// A line as written, ending in a line end.
void Append(std::string& text, std::string_view raw) {
  text += raw;
  if (!text.ends_with('\n')) text += "\r\n";
}

// Lines first to last as written.
std::string Joined(const std::vector<RawLine>& lines, size_t first, size_t last) {
  std::string text;
  for (size_t i = first; i <= last; ++i) Append(text, lines[i].raw);
  return text;
}

// A content line unfolded, without its line end.
std::string Unfolded(std::string_view raw) {
  std::string line;
  size_t pos = 0;
  while (pos < raw.size()) {
    const size_t eol = std::min(raw.find('\n', pos), raw.size());
    const size_t stop = eol > pos && raw[eol - 1] == '\r' ? eol - 1 : eol;
    line.append(raw.substr(pos, stop - pos));
    pos = eol + 2;  // past the line end and the blank that starts a fold
  }
  return line;
}

}  // namespace

KeptComponent::KeptComponent(std::string_view kept, std::string_view kind, bool occurrence) : m_kind(kind) {
  const std::vector<RawLine> lines = ReadLines(kept);
  bool found = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].name != "BEGIN") continue;  // nothing stands outside a component
    // The component's last line, and whether it is an occurrence changed on its own.
    size_t last = i;
    bool override = false;
    for (int depth = 0; last < lines.size(); ++last) {
      const std::string& name = lines[last].name;
      if (name == "BEGIN") ++depth;
      if (name == "END" && --depth == 0) break;
      if (depth == 1 && name == "RECURRENCE-ID") override = true;
    }
    Top top{Named(lines[i]), override, std::string()};
    if (!found && top.name == m_kind && (occurrence || !override)) {
      found = true;
      m_master = m_tops.size();
      for (size_t k = i + 1; k < last; ++k) {
        if (lines[k].name != "BEGIN") {
          m_parts.push_back({lines[k].name, false, Joined(lines, k, k)});
          continue;
        }
        size_t end = k;
        for (int depth = 0; end < last; ++end) {
          if (lines[end].name == "BEGIN") ++depth;
          if (lines[end].name == "END" && --depth == 0) break;
        }
        m_parts.push_back({Named(lines[k]), true, Joined(lines, k, end)});
        k = end;
      }
    } else {
      top.raw = Joined(lines, i, last);
    }
    m_tops.push_back(std::move(top));
    i = last;
  }
  if (!found) {
    m_master = m_tops.size();
    m_tops.push_back({m_kind, false, std::string()});
  }
}

std::vector<std::string> KeptComponent::Lines(std::string_view name) const {
  std::vector<std::string> lines;
  for (const Part& part : m_parts) {
    if (!part.component && part.name == name) lines.push_back(Unfolded(part.raw));
  }
  return lines;
}

bool KeptComponent::Has(std::string_view name) const {
  return std::any_of(m_parts.begin(), m_parts.end(),
                     [&](const Part& part) { return !part.component && part.name == name; });
}

size_t KeptComponent::AfterLastProperty() const {
  for (size_t i = m_parts.size(); i > 0; --i) {
    if (!m_parts[i - 1].component) return i;
  }
  return 0;
}

void KeptComponent::Set(std::string_view name, std::string text) {
  const auto same = [&](const Part& part) { return !part.component && part.name == name; };
  const auto first = std::find_if(m_parts.begin(), m_parts.end(), same);
  size_t at = static_cast<size_t>(first - m_parts.begin());
  if (first == m_parts.end()) {
    at = AfterLastProperty();
  } else {
    m_parts.erase(std::remove_if(first, m_parts.end(), same), m_parts.end());
  }
  std::vector<Part> added;
  ForEachLine(text, [&](std::string_view, std::string_view raw) {
    added.push_back({std::string(name), false, std::string()});
    Append(added.back().raw, raw);
  });
  m_parts.insert(m_parts.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(added.begin()),
                 std::make_move_iterator(added.end()));
}

void KeptComponent::SetComponents(std::string_view name, std::string text) {
  size_t at = std::string::npos;
  std::vector<Part> parts;
  parts.reserve(m_parts.size());
  for (Part& part : m_parts) {
    if (part.component && part.name == name) {
      if (at == std::string::npos) at = parts.size();
    } else {
      parts.push_back(std::move(part));
    }
  }
  m_parts = std::move(parts);
  if (text.empty()) return;
  if (at == std::string::npos) at = m_parts.size();
  m_parts.insert(m_parts.begin() + static_cast<std::ptrdiff_t>(at), Part{std::string(name), true, std::move(text)});
}

bool KeptComponent::DropOverrides() {
  bool dropped = false;
  const size_t master = m_master;
  std::vector<Top> tops;
  for (size_t i = 0; i < m_tops.size(); ++i) {
    if (i != master && m_tops[i].override && m_tops[i].name == m_kind) {
      dropped = true;
      continue;
    }
    if (i == master) m_master = tops.size();
    tops.push_back(std::move(m_tops[i]));
  }
  m_tops = std::move(tops);
  return dropped;
}

std::string KeptComponent::Zones() const {
  std::string zones;
  for (const Top& top : m_tops) {
    if (top.name == "VTIMEZONE") zones += top.raw;
  }
  return zones;
}

std::string KeptComponent::Text() const {
  std::string rest;
  for (size_t i = 0; i < m_tops.size(); ++i) {
    if (m_tops[i].name == "VTIMEZONE") continue;
    if (i != m_master) {
      rest += m_tops[i].raw;
      continue;
    }
    rest += "BEGIN:" + m_kind + "\r\n";
    for (const Part& part : m_parts) rest += part.raw;
    rest += "END:" + m_kind + "\r\n";
  }
  return Zones() + rest;
}

}  // namespace Interop
