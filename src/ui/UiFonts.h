#pragma once

#include <QFont>
#include <QString>

// A font asked for by its cell height in pixels (ascent plus descent, the
// height the dialogs' font table gives), weight 100-900 and slant. Qt sizes
// fonts by their em, so the em is derived from the face's own proportions.
QFont MakeCellFont(const QString& face, int cellHeight, int weight, bool italic = false);
