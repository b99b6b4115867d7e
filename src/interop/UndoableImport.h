#pragma once

#include <functional>

#include "interop/Importer.h"

namespace Interop {

// Applies a previewed import (see Importer::Apply) and keeps it in the
// program's undo history as one step: undone, the records it added go again
// and those it changed are as they were, UIDs and kept text included. Where a
// record cannot be read, the import is stored all the same, with no step.
bool ApplyUndoably(Importer& importer, const std::function<bool(int done, int total)>& progress = {});

}  // namespace Interop
