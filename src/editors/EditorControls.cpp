#include "editors/EditorControls.h"

#include <QTextCursor>

#include "app/AppBase.h"
#include "records/Categories.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"
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

void DressPickBox(DlgBase& dialog, CAutoCombo* box, bool twoColumns, int secondColumnOffset) {
  box->setFont(dialog.GetTextFont());
  box->SetItemColor(TextColor(), CAutoCombo::kColorText);
  box->InitAutoCombo(twoColumns, secondColumnOffset);
}

void ColorText(CMyRichEditCtrl* field) {
  field->SetTextColorAll();
  QTextCursor cursor = field->textCursor();
  cursor.clearSelection();
  field->setTextCursor(cursor);
}

QDateTime CurrentMinute() {
  QDateTime now = QDateTime::currentDateTime();
  now.setTime(QTime(now.time().hour(), now.time().minute()));
  return now;
}

bool SelectValue(CAutoCombo* box, int value) {
  for (int index = 0; index < box->count(); ++index) {
    if (box->GetItemValue(index) == value) {
      box->SelectItem(index);
      return true;
    }
  }
  return false;
}

int SelectedValue(const CAutoCombo* box) { return box->GetItemValue(box->GetSelectedItem()); }

void FillCategories(CAutoCombo* box, int kind, int categoryId) {
  box->ResetItems();
  int chosen = 0;
  for (const CategoryRecord& category : ListCategories(kind)) {
    const int index = box->AddItemPair(QString::fromStdString(category.name), QString::fromStdString(category.comment));
    box->SetItemValue(index, category.id);
    if (category.id == categoryId) chosen = index;
  }
  if (box->count() > 0) box->SelectItem(chosen);
}

}  // namespace EditorControls
