#include "ui/CharacterLimit.h"

#include <QLineEdit>
#include <algorithm>

namespace {

// The length of the first `characters` characters of a text, in UTF-16 units.
qsizetype UnitsOf(const QString& text, int characters) {
  qsizetype units = 0;
  for (int counted = 0; counted < characters && units < text.size(); ++counted) {
    units += (text[units].isHighSurrogate() && units + 1 < text.size() && text[units + 1].isLowSurrogate()) ? 2 : 1;
  }
  return units;
}

}  // namespace

CharacterLimit::CharacterLimit(QLineEdit* edit, int limit) : QValidator(edit), m_limit(limit), m_accepted(edit->text()) {
  edit->setValidator(this);
}

int CharacterLimit::CountCharacters(const QString& text) {
  return static_cast<int>(text.toUcs4().size());
}

QValidator::State CharacterLimit::validate(QString& input, int& pos) const {
  if (CountCharacters(input) > m_limit) {
    // The change replaced what lies between the common start and end of the
    // old and new texts; only as much of its new part is kept as fits.
    const QString& before = m_accepted;
    qsizetype head = 0;
    const qsizetype shorter = std::min(before.size(), input.size());
    while (head < shorter && before[head] == input[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == input[input.size() - 1 - tail]) ++tail;
    // Never split a surrogate pair at either edge.
    if (head > 0 && input[head - 1].isHighSurrogate()) --head;
    if (tail > 0 && input[input.size() - tail].isLowSurrogate()) --tail;
    const QString kept = before.left(head) + before.right(tail);
    const QString inserted = input.mid(head, input.size() - head - tail);
    const int room = std::max(0, m_limit - CountCharacters(kept));
    const QString fitting = inserted.left(UnitsOf(inserted, room));
    input = before.left(head) + fitting + before.right(tail);
    pos = static_cast<int>(head + fitting.size());
  }
  m_accepted = input;
  return Acceptable;
}
