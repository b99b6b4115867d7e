#pragma once

#include <vector>

#include "interop/ContentLines.h"

namespace Interop {

// A vCalendar 1.0 file, as phones still write it, turned into iCalendar 2.0
// lines in place: quoted-printable and character sets undone, text escaped,
// CATEGORIES separated by commas, the first AALARM or DALARM of a component
// as a VALARM at its time. Lines of a 2.0 file are left as they are.
void UpgradeVCalendar(std::vector<ContentLine>& lines);

}  // namespace Interop
