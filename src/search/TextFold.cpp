#include "search/TextFold.h"

#include <QHash>

namespace {

// The folded form of one code point that is not plain ASCII. Normalising one
// character at a time is slow, and texts repeat the same few, so each is
// worked out once.
const QString& FoldCodePoint(char32_t code) {
  static QHash<char32_t, QString> known;
  auto found = known.constFind(code);
  if (found != known.constEnd()) return *found;
  QString folded;
  if (code == U'\u2018' || code == U'\u2019' || code == U'\u02BC') {
    folded = QStringLiteral("'");
  } else if (code == U'\u201C' || code == U'\u201D') {
    folded = QStringLiteral("\"");
  } else if (code == U'\u00DF' || code == U'\u1E9E') {
    folded = QStringLiteral("ss");  // full case folding, which QString's folding leaves out
  } else {
    const QString decomposed = QString::fromUcs4(&code, 1).normalized(QString::NormalizationForm_KD);
    for (const QChar unit : decomposed) {
      if (unit.category() == QChar::Mark_NonSpacing || unit.category() == QChar::Mark_Enclosing) continue;
      folded += unit;
    }
    folded = folded.toCaseFolded();
  }
  return *known.insert(code, folded);
}

const std::string& FoldCodePointUtf8(char32_t code) {
  static QHash<char32_t, std::string> known;
  auto found = known.constFind(code);
  if (found != known.constEnd()) return *found;
  return *known.insert(code, FoldCodePoint(code).toStdString());
}

// The code point at i and how many UTF-16 units it takes.
char32_t CodePointAt(QStringView text, qsizetype i, int* units) {
  const char16_t unit = text[i].unicode();
  if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
    *units = 2;
    return QChar::surrogateToUcs4(unit, text[i + 1].unicode());
  }
  *units = 1;
  return unit;
}

}  // namespace

void AppendFolded(QStringView text, std::string& utf8) {
  const qsizetype length = text.size();
  for (qsizetype i = 0; i < length;) {
    const char16_t unit = text[i].unicode();
    if (unit < 0x80) {
      utf8 += static_cast<char>(unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit);
      ++i;
      continue;
    }
    int units = 1;
    utf8 += FoldCodePointUtf8(CodePointAt(text, i, &units));
    i += units;
  }
}

FoldedText FoldText(QStringView text) {
  FoldedText result;
  result.text.reserve(text.size());
  bool sameLength = true;
  std::vector<int> origin;
  const auto note = [&](int from, int units) {
    for (int u = 0; u < units; ++u) origin.push_back(from);
  };
  const qsizetype length = text.size();
  for (qsizetype i = 0; i < length;) {
    const char16_t unit = text[i].unicode();
    const int at = static_cast<int>(i);
    if (unit < 0x80) {
      result.text += QChar(unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit);
      origin.push_back(at);
      ++i;
      continue;
    }
    int units = 1;
    const QString& folded = FoldCodePoint(CodePointAt(text, i, &units));
    result.text += folded;
    note(at, static_cast<int>(folded.size()));
    if (folded.size() != units) sameLength = false;
    i += units;
  }
  if (!sameLength) {
    origin.push_back(static_cast<int>(length));
    result.origin = std::move(origin);
  }
  return result;
}
