#pragma once

class QObject;
class QWidget;
struct DialogItem;

// Makes the control a template item describes, as the program class of its
// kind, tagged with the item's id; the caller places it.
QWidget* CreateDlgItem(const DialogItem& item, QWidget* parent);

// The template id a control was tagged with, or 0 for any other object.
int DlgItemId(const QObject* control);
