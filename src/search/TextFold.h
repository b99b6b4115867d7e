#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <vector>

// Text as the search compares it: case folded, accents dropped, compatibility
// forms (ligatures, full-width letters) reduced to plain letters and
// typographic apostrophes made straight, so that "sean" finds "Seán" and
// "o'brien" finds "O’Brien".
struct FoldedText {
  QString text;
  // Where each folded unit came from in the original, plus one entry for the
  // end; empty when every unit maps to the unit at the same place.
  std::vector<int> origin;

  // The original position of a folded position.
  int OriginOf(int folded) const { return origin.empty() ? folded : origin[static_cast<size_t>(folded)]; }
};

FoldedText FoldText(QStringView text);

// The same folding appended to `utf8` as UTF-8, without a position map: the
// fast form the index is built from and compared in.
void AppendFolded(QStringView text, std::string& utf8);
