#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The program's icons, by resource id (128 application, 151 emblem, the
// button and check-box icons), each with its own default size.
QIcon ResourceIcon(int id);
// The size an icon is drawn at unless a control asks otherwise; empty when
// there is no icon with that id.
QSize ResourceIconSize(int id);
// The icon rendered at its default size; a null pixmap when there is none.
QPixmap ResourcePixmap(int id);
