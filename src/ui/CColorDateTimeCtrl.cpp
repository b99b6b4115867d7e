#include "ui/CColorDateTimeCtrl.h"

#include "app/AppBase.h"
#include "ui/ColorRef.h"

CColorDateTimeCtrl::CColorDateTimeCtrl(QWidget* parent) : QDateTimeEdit(QDateTime::currentDateTime(), parent) {
  setCalendarPopup(true);
  ApplyTextColor();
}

void CColorDateTimeCtrl::showEvent(QShowEvent* event) {
  ApplyTextColor();
  QDateTimeEdit::showEvent(event);
}

void CColorDateTimeCtrl::ApplyTextColor() {
  QPalette colors = palette();
  colors.setColor(QPalette::Text, ColorFromRef(GetApp().GetSettings().GetClrText()));
  setPalette(colors);
}
