#include "interop/KeptComponent.h"

#include <algorithm>

#include "interop/ContentLines.h"
#include "interop/InteropError.h"

namespace Interop {

namespace {

// The component a BEGIN or END line names, upper case.
std::string Named(std::string_view line) {
  const size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string() : Upper(line.substr(colon + 1));
}

// The content lines of the text, or none when it cannot be read or its
// components do not pair up: such a text is not written back.
std::vector<ContentLine> ReadLines(std::string_view kept) {
  if (kept.find_first_not_of(" \t\r\n") == std::string_view::npos) return {};
  std::vector<ContentLine> lines;
  try {
    lines = SplitContentLines(kept);
  } catch (const InteropError&) {
    return {};
  }
  int depth = 0;
  for (const ContentLine& line : lines) {
    const std::string name = PropertyName(line.text);
    if (name == "BEGIN") ++depth;
    if (name == "END" && --depth < 0) return {};
  }
  return depth == 0 ? lines : std::vector<ContentLine>{};
}

// Content lines (folded, each ending in CR LF) one by one: the unfolded line
// and its text as given.
std::vector<std::pair<std::string, std::string>> SplitFolded(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    std::string line;
    size_t end = pos;
    for (;;) {
      const size_t stop = std::min(text.find("\r\n", end), text.size());
      line.append(text, end, stop - end);
      end = std::min(stop + 2, text.size());
      if (end == text.size() || (text[end] != ' ' && text[end] != '\t')) break;
      ++end;  // the blank that starts a fold
    }
    lines.emplace_back(std::move(line), text.substr(pos, end - pos));
    pos = end;
  }
  return lines;
}

}  // namespace

KeptComponent::KeptComponent(std::string_view kept, std::string_view kind, bool occurrence) : m_kind(kind) {
  const std::vector<ContentLine> lines = ReadLines(kept);
  bool found = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (PropertyName(lines[i].text) != "BEGIN") continue;  // nothing stands outside a component
    // The component's last line, and whether it is an occurrence changed on its own.
    size_t last = i;
    bool override = false;
    for (int depth = 0; last < lines.size(); ++last) {
      const std::string name = PropertyName(lines[last].text);
      if (name == "BEGIN") ++depth;
      if (name == "END" && --depth == 0) break;
      if (depth == 1 && name == "RECURRENCE-ID") override = true;
    }
    Top top{Named(lines[i].text), override, std::string()};
    if (!found && top.name == m_kind && (occurrence || !override)) {
      found = true;
      m_master = m_tops.size();
      for (size_t k = i + 1; k < last; ++k) {
        const std::string name = PropertyName(lines[k].text);
        if (name != "BEGIN") {
          m_parts.push_back({name, false, lines[k].text, RawText(kept, lines, k, k)});
          continue;
        }
        size_t end = k;
        for (int depth = 0; end < last; ++end) {
          const std::string inner = PropertyName(lines[end].text);
          if (inner == "BEGIN") ++depth;
          if (inner == "END" && --depth == 0) break;
        }
        m_parts.push_back({Named(lines[k].text), true, std::string(), RawText(kept, lines, k, end)});
        k = end;
      }
    } else {
      top.raw = RawText(kept, lines, i, last);
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
    if (!part.component && part.name == name) lines.push_back(part.line);
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
  size_t at = std::string::npos;
  std::vector<Part> parts;
  parts.reserve(m_parts.size());
  for (Part& part : m_parts) {
    if (!part.component && part.name == name) {
      if (at == std::string::npos) at = parts.size();
    } else {
      parts.push_back(std::move(part));
    }
  }
  m_parts = std::move(parts);
  if (at == std::string::npos) at = AfterLastProperty();
  std::vector<Part> added;
  for (auto& [line, raw] : SplitFolded(text)) added.push_back({std::string(name), false, std::move(line), std::move(raw)});
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
  m_parts.insert(m_parts.begin() + static_cast<std::ptrdiff_t>(at), Part{std::string(name), true, std::string(), std::move(text)});
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
