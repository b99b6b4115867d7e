#include "settings/DlgAppSettings.h"

#include <QColorDialog>
#include <QPainter>
#include <iterator>

#include "app/Message.h"
#include "settings/ColorContrast.h"
#include "settings/DlgAccounts.h"
#include "settings/UTSettings.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/ColorRef.h"
#include "ui/DialogTemplate.h"
#include "ui/WindowCapabilities.h"

namespace {

constexpr int kEmblemIcon = 151;
constexpr int kTickedIcon = 156;
constexpr int kUntickedIcon = 158;
constexpr int kCancelIcon = 166;
constexpr int kBorderLabel = 1109;
constexpr int kTextLabel = 1100;

// A check box and the flag it stands for; storing returns 0 on success.
struct OptionBox {
  int id;
  int (UTSettings::*get)() const;
  int (*store)(UTSettings&, int);
};

const OptionBox kOptionBoxes[] = {
    {DlgAppSettings::kIdAutostart, &UTSettings::GetAutostart,
     [](UTSettings& s, int on) { return s.SetAutostart(on); }},
    {DlgAppSettings::kIdMinStartup, &UTSettings::GetMinStartup,
     [](UTSettings& s, int on) { return s.SetMinStartup(on), 0; }},
    {DlgAppSettings::kIdStayOnTop, &UTSettings::GetStayOnTop,
     [](UTSettings& s, int on) { return s.SetStayOnTop(on), 0; }},
    {DlgAppSettings::kIdTransparent, &UTSettings::GetTransparent,
     [](UTSettings& s, int on) { return s.SetTransparent(on), 0; }},
};

// A "Select Color..." button, the swatch beside it and the colour they stand for.
struct ColorChoice {
  int buttonId;
  int swatchId;
  int (UTSettings::*get)() const;
  void (UTSettings::*set)(int);
  const char* name;
  bool isText;       // the colour text is drawn in
  bool isUnderText;  // a colour text is drawn on: page, selected rows, priority cells
};

const ColorChoice kColorChoices[] = {
    {DlgAppSettings::kIdBackground, DlgAppSettings::kIdBackgroundSwatch, &UTSettings::GetClrBackground,
     &UTSettings::SetClrBackground, "background color", false, true},
    {DlgAppSettings::kIdBorder, DlgAppSettings::kIdBorderSwatch, &UTSettings::GetClrBorder, &UTSettings::SetClrBorder,
     "border color", false, false},
    {DlgAppSettings::kIdText, DlgAppSettings::kIdTextSwatch, &UTSettings::GetClrText, &UTSettings::SetClrText,
     "text color", true, false},
    {DlgAppSettings::kIdHighlight, DlgAppSettings::kIdHighlightSwatch, &UTSettings::GetClrHighlight,
     &UTSettings::SetClrHighlight, "highlight color", false, true},
    {DlgAppSettings::kIdHiPrior, DlgAppSettings::kIdHiPriorSwatch, &UTSettings::GetClrHiPrior,
     &UTSettings::SetClrHiPrior, "high priority color", false, true},
    {DlgAppSettings::kIdMedPrior, DlgAppSettings::kIdMedPriorSwatch, &UTSettings::GetClrMedPrior,
     &UTSettings::SetClrMedPrior, "medium priority color", false, true},
    {DlgAppSettings::kIdLoPrior, DlgAppSettings::kIdLoPriorSwatch, &UTSettings::GetClrLoPrior,
     &UTSettings::SetClrLoPrior, "low priority color", false, true},
};

constexpr int kColorChoiceCount = static_cast<int>(std::size(kColorChoices));

// "background color" -> "Background color"
QString Capitalised(const char* text) {
  QString capitalised = QString::fromUtf8(text);
  if (!capitalised.isEmpty()) capitalised[0] = capitalised[0].toUpper();
  return capitalised;
}

}  // namespace

DlgAppSettings::DlgAppSettings(UTSettings* settings, QWidget* parent)
    : DlgBase(kTemplateId, parent), m_settings(settings) {
  for (const OptionBox& box : kOptionBoxes) {
    connect(qobject_cast<CButtonST*>(GetDlgItem(box.id)), &QAbstractButton::clicked, this,
            [this, id = box.id] { OnOptionClicked(id); });
  }
  for (int choice = 0; choice < kColorChoiceCount; ++choice) {
    connect(qobject_cast<CButtonST*>(GetDlgItem(kColorChoices[choice].buttonId)), &QAbstractButton::clicked, this,
            [this, choice] { OnSelectColor(choice); });
  }
  connect(qobject_cast<CButtonST*>(GetDlgItem(kIdRestoreDefaults)), &QAbstractButton::clicked, this,
          &DlgAppSettings::OnRestoreDefaults);
  connect(qobject_cast<CButtonST*>(GetDlgItem(kIdAccounts)), &QAbstractButton::clicked, this, [this] {
    DlgAccounts accounts(m_scheduler, this);
    accounts.DoModal();
  });
}

bool DlgAppSettings::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Orvale Organizer Settings"));
  const int background = m_settings->GetClrBackground();
  const int text = m_settings->GetClrText();

  for (const DialogItem& item : FindDialogTemplate(kTemplateId)->items) {
    if (item.kind != DlgItemKind::Static && item.kind != DlgItemKind::GroupBox) continue;
    auto* label = qobject_cast<CColorStatic*>(GetDlgItem(item.id));
    label->SetBackColor(background);
    label->setFont(GetTextFont());
    // "Medium Priority Color:" starts on the group box's edge; a filled label would cut the frame.
    if (item.kind == DlgItemKind::Static) label->setAutoFillBackground(false);
  }
  for (int id : {static_cast<int>(kIdTitle), kBorderLabel, kTextLabel}) qobject_cast<CColorStatic*>(GetDlgItem(id))->SetForeColor(text);
  GetDlgItem(kIdTitle)->setFont(GetTitleFont());

  for (const OptionBox& option : kOptionBoxes) {
    auto* box = qobject_cast<CButtonST*>(GetDlgItem(option.id));
    box->LoadButtonIcons(kTickedIcon, kUntickedIcon);
    box->MakeTransparent();
    box->SetCaptionFont(&GetTextFont());
    box->SetCheckState((m_settings->*option.get)() != 0);
    box->FitToCaption();  // the caption beside its icon, not centred in the template's width
    box->setAccessibleName(box->text());
  }
  // An option the desktop cannot honour is shown, with the reason, but cannot be chosen.
  const WindowCapabilities& windows = WindowCapabilities::Current();
  for (const auto& [id, available] :
       {std::pair{kIdStayOnTop, windows.stayOnTop}, std::pair{kIdTransparent, windows.opacity}}) {
    if (available) continue;
    auto* box = qobject_cast<CButtonST*>(GetDlgItem(id));
    box->setEnabled(false);
    box->SetTipText(QStringLiteral("Not available on this desktop"), true);
    // A disabled caption is drawn in the palette's dark colour over its light
    // one; halfway from text to background reads as "not offered" on light and
    // dark colour sets alike.
    const QColor shown = ColorFromRef(text);
    const QColor under = ColorFromRef(background);
    QPalette colors = box->palette();
    colors.setColor(QPalette::Dark, QColor((shown.red() + under.red()) / 2, (shown.green() + under.green()) / 2,
                                           (shown.blue() + under.blue()) / 2));
    colors.setColor(QPalette::Light, under);
    box->setPalette(colors);
  }

  for (int index = 0; index < kColorChoiceCount; ++index) {
    const ColorChoice& choice = kColorChoices[index];
    auto* button = qobject_cast<CButtonST*>(GetDlgItem(choice.buttonId));
    button->SetFlatStyle(false);
    button->setAccessibleName(QStringLiteral("Select ") + QString::fromUtf8(choice.name));
    ShowSwatch(index);
  }
  for (int id : {static_cast<int>(kIdRestoreDefaults), static_cast<int>(kIdAccounts)}) {
    auto* button = qobject_cast<CButtonST*>(GetDlgItem(id));
    button->SetFlatStyle(false);
    button->setAccessibleName(button->text());
  }

  const std::pair<int, std::pair<int, const char*>> actions[] = {{kIdOk, {kEmblemIcon, "Save"}},
                                                                 {kIdCancel, {kCancelIcon, "Cancel"}}};
  for (const auto& [id, look] : actions) {
    auto* button = qobject_cast<CButtonST*>(GetDlgItem(id));
    button->LoadButtonIcons(look.first, 0);
    button->MakeTransparent();
    button->SetCaptionFont(&GetButtonFont());
    button->setAccessibleName(QString::fromUtf8(look.second));
  }

  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgAppSettings::OnOptionClicked(int id) {
  for (const OptionBox& option : kOptionBoxes) {
    if (option.id != id) continue;
    const bool on = qobject_cast<CButtonST*>(GetDlgItem(id))->GetCheckState();
    // The autostart entry is written at the click, saved or not.
    if (option.store(*m_settings, on ? 1 : 0) != 0) {
      ShowMessage(on ? "The autostart entry could not be written, so Orvale Organizer will not start when you log in."
                     : "The autostart entry could not be changed, so Orvale Organizer may still start when you log in.",
                  kMessageOkNotice);
    }
  }
}

void DlgAppSettings::OnSelectColor(int choice) {
  // Qt's own dialog rather than the desktop's, so that it looks and behaves
  // the same everywhere; it starts on the colour being changed.
  const ColorChoice& current = kColorChoices[choice];
  QColorDialog picker(ColorFromRef((m_settings->*current.get)()), this);
  picker.setOption(QColorDialog::DontUseNativeDialog);
  if (picker.exec() != QDialog::Accepted) return;
  const int colorRef = RefFromColor(picker.selectedColor());
  WarnIfHardToRead(choice, colorRef);
  (m_settings->*current.set)(colorRef);
  ShowSwatch(choice);
}

void DlgAppSettings::ShowSwatch(int index) {
  const ColorChoice& choice = kColorChoices[index];
  const int colorRef = (m_settings->*choice.get)();
  auto* swatch = qobject_cast<CColorStatic*>(GetDlgItem(choice.swatchId));
  swatch->SetBackColor(colorRef);  // repaints at once
  swatch->setAccessibleName(Capitalised(choice.name));
  swatch->setAccessibleDescription(ColorFromRef(colorRef).name());
}

// Like a colour picked, the defaults are taken in memory and written by Save.
void DlgAppSettings::OnRestoreDefaults() {
  m_settings->RestoreDefaultColors();
  for (int choice = 0; choice < kColorChoiceCount; ++choice) ShowSwatch(choice);
}

// Shown before the colour is stored, so the notice still comes in colours
// that can be read.
void DlgAppSettings::WarnIfHardToRead(int choice, int colorRef) {
  if (m_warnedContrast) return;
  const ColorChoice& chosen = kColorChoices[choice];
  for (const ColorChoice& other : kColorChoices) {
    int text = 0;
    int under = 0;
    if (chosen.isText && other.isUnderText) {
      text = colorRef;
      under = (m_settings->*other.get)();
    } else if (chosen.isUnderText && &other == &chosen) {
      text = m_settings->GetClrText();
      under = colorRef;
    } else {
      continue;
    }
    if (!IsHardToRead(text, under)) continue;
    m_warnedContrast = true;
    ShowMessage("Text will be hard to read: the text color and the " + std::string(other.name) +
                    " are too much alike (contrast " + QString::number(ContrastRatio(text, under), 'f', 1).toStdString() +
                    " : 1, less than 3 : 1). The color is taken all the same; choose another one if you cannot read "
                    "the text.",
                kMessageOkNotice);
    return;
  }
}

void DlgAppSettings::OnOK() {
  if (m_settings->Save() != 0) {
    // Nothing was written; the changes stay in memory and Save can be tried again.
    ShowMessage("The settings could not be saved.", kMessageOkNotice);
    return;
  }
  ShowMessage("You may need to restart Orvale Organizer for some changes to take effect.", kMessageOkNotice);
  DlgBase::OnOK();
}

void DlgAppSettings::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
