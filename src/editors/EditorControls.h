#pragma once

#include <initializer_list>

class CButtonST;
class DlgBase;

// The look the editors and the category manager give their controls: the
// title in the title font, labels in the text font, icon buttons whose caption
// turns red under the pointer, and ticked/unticked check boxes, all in the
// user's colours.
namespace EditorControls {

void DressTitle(DlgBase& dialog, int titleId);
void DressLabels(DlgBase& dialog, std::initializer_list<int> labelIds);
// An icon id of 0 gives a button without an icon.
void DressButton(DlgBase& dialog, CButtonST* button, int iconId);
void DressCheckBox(DlgBase& dialog, CButtonST* box);

}  // namespace EditorControls
