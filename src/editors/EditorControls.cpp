#include "editors/EditorControls.h"

#include "app/AppBase.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/DlgBase.h"

namespace EditorControls {

namespace {
constexpr int kHoverRed = 0x0000FF;
constexpr int kTickedIcon = 156;
constexpr int kUntickedIcon = 158;

int TextColor() { return GetApp().GetSettings().GetClrText(); }

// Screen readers and test drivers find a button by its caption, without the
// blanks some captions are padded with or a closing colon.
QString CaptionName(const QString& caption) {
  QString name = caption.trimmed();
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  return name;
}
}  // namespace

void DressTitle(DlgBase& dialog, int titleId) {
  auto* title = qobject_cast<CColorStatic*>(dialog.GetDlgItem(titleId));
  title->setFont(dialog.GetTitleFont());
  title->SetForeColor(TextColor());
}

void DressLabels(DlgBase& dialog, std::initializer_list<int> labelIds) {
  for (int id : labelIds) {
    auto* label = qobject_cast<CColorStatic*>(dialog.GetDlgItem(id));
    label->setFont(dialog.GetTextFont());
    label->SetForeColor(TextColor());
  }
}

void DressButton(DlgBase& dialog, CButtonST* button, int iconId) {
  button->LoadButtonIcons(iconId, 0);
  button->MakeTransparent();
  button->SetCaptionFont(&dialog.GetButtonFont());
  button->SetStateColor(CButtonST::kColorFgIn, kHoverRed);
  button->setAccessibleName(CaptionName(button->text()));
}

void DressCheckBox(DlgBase& dialog, CButtonST* box) {
  box->LoadButtonIcons(kTickedIcon, kUntickedIcon);
  box->MakeTransparent();
  box->SetCaptionFont(&dialog.GetTextFont());
  box->setAccessibleName(CaptionName(box->text()));
}

}  // namespace EditorControls
