#pragma once

#include <QDateTime>
#include <initializer_list>

class CAutoCombo;
class CButtonST;
class CMyRichEditCtrl;
class DlgBase;

// The look the editors and the category manager give their controls: the
// title in the title font, labels in the text font, icon buttons whose caption
// turns red under the pointer, and ticked/unticked check boxes, all in the
// user's colours; and how the editors fill and read their pick boxes.
namespace EditorControls {

void DressTitle(DlgBase& dialog, int titleId);
void DressLabels(DlgBase& dialog, std::initializer_list<int> labelIds);
// An icon id of 0 gives a button without an icon.
void DressButton(DlgBase& dialog, CButtonST* button, int iconId);
void DressCheckBox(DlgBase& dialog, CButtonST* box);
// A pick box in the text font and the user's text colour, with one or two columns.
void DressPickBox(DlgBase& dialog, CAutoCombo* box, bool twoColumns, int secondColumnOffset);
// The whole text in the user's text colour, with the caret at its end and
// nothing selected: a key typed would otherwise replace it all.
void ColorText(CMyRichEditCtrl* field);

// The current local time without its seconds, which the time pickers do not
// show: a person who sets 1:00 PM stores 1:00 PM, not 1:00:37 PM.
QDateTime CurrentMinute();

// Chooses the item carrying this value; without one the choice stays as it
// was and the answer is false.
bool SelectValue(CAutoCombo* box, int value);
// The value of the chosen item (of the first without a choice); -1 when empty.
int SelectedValue(const CAutoCombo* box);
// Refills the box with the categories of a kind, each with its comment, and
// chooses the one with this id, or the first when it is not among them.
void FillCategories(CAutoCombo* box, int kind, int categoryId);

}  // namespace EditorControls
