#include "ui/ListTexts.h"

#include <QByteArray>
#include <algorithm>
#include <functional>

namespace {

// A length mark: seven bits a byte, the high bit set on all but the last.
void AppendLength(std::string& buffer, size_t length) {
  while (length >= 0x80) {
    buffer.push_back(static_cast<char>(0x80 | (length & 0x7F)));
    length >>= 7;
  }
  buffer.push_back(static_cast<char>(length));
}

constexpr size_t kFirstLookupSize = 1024;

}  // namespace

ListTexts::ListTexts() { Clear(); }

std::string_view ListTexts::Bytes(Handle handle) const {
  size_t at = handle;
  size_t length = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(m_buffer[at++]);
    length |= static_cast<size_t>(byte & 0x7F) << shift;
    if (!(byte & 0x80)) break;
  }
  return std::string_view(m_buffer).substr(at, length);
}

QString ListTexts::Get(Handle handle) const {
  const std::string_view bytes = Bytes(handle);
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

size_t ListTexts::Size(Handle handle) const {
  const std::string_view bytes = Bytes(handle);
  return static_cast<size_t>(bytes.data() - m_buffer.data()) - handle + bytes.size();
}

ListTexts::Handle ListTexts::Append(std::string_view utf8) {
  const auto handle = static_cast<Handle>(m_buffer.size());
  AppendLength(m_buffer, utf8.size());
  m_buffer.append(utf8);
  return handle;
}

ListTexts::Handle& ListTexts::Slot(std::string_view utf8) {
  const size_t mask = m_lookup.size() - 1;
  for (size_t at = std::hash<std::string_view>()(utf8) & mask;; at = (at + 1) & mask) {
    Handle& slot = m_lookup[at];
    if (slot == kEmpty || Bytes(slot) == utf8) return slot;
  }
}

ListTexts::Handle ListTexts::Add(std::string_view utf8) {
  if (utf8.empty()) return kEmpty;
  if (!m_sharing) return Append(utf8);
  // Kept at most half full, so that a search ends soon at a free slot.
  if (2 * (m_shared + 1) > m_lookup.size()) {
    std::vector<Handle> old(std::max(kFirstLookupSize, 2 * m_lookup.size()), kEmpty);
    old.swap(m_lookup);
    for (Handle handle : old) {
      if (handle != kEmpty) Slot(Bytes(handle)) = handle;
    }
  }
  Handle& slot = Slot(utf8);
  if (slot == kEmpty) {
    slot = Append(utf8);
    ++m_shared;
  }
  return slot;
}

ListTexts::Handle ListTexts::Add(QStringView text) {
  if (text.isEmpty()) return kEmpty;
  const QByteArray utf8 = text.toUtf8();
  return Add(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void ListTexts::Clear() {
  m_buffer.assign(1, '\0');  // kEmpty: a text of no bytes
  m_released = 0;
  std::fill(m_lookup.begin(), m_lookup.end(), kEmpty);
  m_shared = 0;
}

void ListTexts::StartSharing() {
  m_sharing = true;
  m_lookup.clear();
  m_shared = 0;
}

void ListTexts::StopSharing() {
  m_sharing = false;
  std::vector<Handle>().swap(m_lookup);
  m_shared = 0;
  m_buffer.shrink_to_fit();
}

void ListTexts::Release(Handle handle) {
  if (handle != kEmpty) m_released += Size(handle);
}

bool ListTexts::WantsCompacting() const { return 2 * m_released > m_buffer.size(); }

void ListTexts::Compact(std::vector<Handle>& handles) {
  ListTexts kept;
  kept.StartSharing();
  for (Handle& handle : handles) handle = kept.Add(Bytes(handle));
  if (!m_sharing) kept.StopSharing();
  *this = std::move(kept);
}
