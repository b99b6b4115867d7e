#include "ui/ControlFactory.h"

#include <QLocale>
#include <QProgressBar>

#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorDateTimeCtrl.h"
#include "ui/CColorEdit.h"
#include "ui/CColorListCtrl.h"
#include "ui/CColorStatic.h"
#include "ui/CMyMonthCalCtrl.h"
#include "ui/CMyRichEditCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "ui/DialogTemplate.h"

namespace {

constexpr char kIdProperty[] = "dlgItemId";

CColorStatic* MakeStatic(const DialogItem& item, QWidget* parent) {
  auto* label = new CColorStatic(parent);
  Qt::Alignment horizontal = Qt::AlignLeft;
  if (item.style & kItemAlignRight) horizontal = Qt::AlignRight;
  if (item.style & kItemAlignCenter) horizontal = Qt::AlignHCenter;
  label->setAlignment(horizontal | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

QWidget* MakeControl(const DialogItem& item, QWidget* parent) {
  const QString text = QString::fromUtf8(item.text);
  switch (item.kind) {
    case DlgItemKind::Static: {
      CColorStatic* label = MakeStatic(item, parent);
      label->setText(text);
      return label;
    }
    case DlgItemKind::GroupBox: {
      CColorStatic* label = MakeStatic(item, parent);
      label->setText(text);
      label->SetGroupBox(true);
      return label;
    }
    case DlgItemKind::Swatch: {
      CColorStatic* label = MakeStatic(item, parent);
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return label;
    }
    case DlgItemKind::Edit:
      return new CColorEdit(parent);
    case DlgItemKind::PushButton:
    case DlgItemKind::CheckBox: {
      auto* button = new CButtonST(parent);
      button->setText(text);
      button->SetCheckBoxMode(item.kind == DlgItemKind::CheckBox);
      button->SetDefault((item.style & kItemDefaultButton) != 0);
      return button;
    }
    case DlgItemKind::ComboBox:
      return new CAutoCombo(parent);
    case DlgItemKind::DatePicker: {
      auto* picker = new CColorDateTimeCtrl(parent);
      picker->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
      return picker;
    }
    case DlgItemKind::TimePicker: {
      auto* picker = new CColorDateTimeCtrl(parent);
      picker->setDisplayFormat(QStringLiteral("h:mm AP"));
      picker->setCalendarPopup(false);
      return picker;
    }
    case DlgItemKind::RichEdit:
      return new CMyRichEditCtrl(parent);
    case DlgItemKind::ListView:
      return new CColorListCtrl(parent);
    case DlgItemKind::TabControl:
      return new CMyTabCtrl(parent);
    case DlgItemKind::MonthCalendar:
      return new CMyMonthCalCtrl(parent);
    case DlgItemKind::ProgressBar:
      return new QProgressBar(parent);  // in the user's colours through the application's palette
  }
  return new QWidget(parent);
}

}  // namespace

QWidget* CreateDlgItem(const DialogItem& item, QWidget* parent) {
  QWidget* control = MakeControl(item, parent);
  control->setProperty(kIdProperty, item.id);
  if (item.style & kItemNoTabStop) control->setFocusPolicy(Qt::ClickFocus);
  return control;
}

int DlgItemId(const QObject* control) { return control ? control->property(kIdProperty).toInt() : 0; }
