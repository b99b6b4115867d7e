#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The cell texts of a long list, kept as UTF-8 one after the other in a single
// buffer: a cell holds only the number of its text, and the QString a view
// asks for is made when the cell is drawn. While texts are shared (during a
// refill) a text equal to one already kept gets the same number, so the
// thousands of rows that show the same category or priority keep one copy.
class ListTexts {
 public:
  using Handle = uint32_t;
  // The empty text, kept by every store.
  static constexpr Handle kEmpty = 0;

  ListTexts();

  Handle Add(std::string_view utf8);
  Handle Add(QStringView text);
  QString Get(Handle handle) const;
  // The number of bytes the text takes up, its length mark included.
  size_t Size(Handle handle) const;

  // Forgets every text.
  void Clear();
  // From StartSharing to StopSharing equal texts are kept once. StopSharing
  // lets go of the lookup and of the buffer's spare room.
  void StartSharing();
  void StopSharing();

  // A cell no longer shows this text. The bytes stay until Compact, which is
  // worth it once more than half the buffer is given up.
  void Release(Handle handle);
  bool WantsCompacting() const;
  // Keeps only the texts of these handles, each rewritten to its new number.
  void Compact(std::vector<Handle>& handles);

 private:
  // Where the bytes of the text begin, past its length mark, and how many there are.
  std::string_view Bytes(Handle handle) const;
  Handle Append(std::string_view utf8);
  // The lookup's slot for these bytes: the one holding an equal text, or an empty one.
  Handle& Slot(std::string_view utf8);

  std::string m_buffer;
  size_t m_released = 0;
  bool m_sharing = false;
  // Open addressing by the text's hash; kEmpty marks a free slot.
  std::vector<Handle> m_lookup;
  size_t m_shared = 0;
};
