#include "ui/CMyMonthCalCtrl.h"

#include "app/AppBase.h"
#include "ui/ColorRef.h"

CMyMonthCalCtrl::CMyMonthCalCtrl(QWidget* parent) : QCalendarWidget(parent) {
  setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  // The calendar is narrow: longer day names would be cut.
  setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
  setGridVisible(false);
  ApplyColors();
}

void CMyMonthCalCtrl::ApplyColors() {
  const UTSettings& settings = GetApp().GetSettings();
  const QColor background = ColorFromRef(settings.GetClrBackground());
  const QColor text = ColorFromRef(settings.GetClrText());
  QPalette colors = palette();
  colors.setColor(QPalette::Window, background);
  colors.setColor(QPalette::Button, background);
  colors.setColor(QPalette::ButtonText, text);
  colors.setColor(QPalette::WindowText, text);
  colors.setColor(QPalette::Highlight, ColorFromRef(settings.GetClrHighlight()));
  colors.setColor(QPalette::HighlightedText, text);
  setPalette(colors);
}

void CMyMonthCalCtrl::showEvent(QShowEvent* event) {
  ApplyColors();
  QCalendarWidget::showEvent(event);
}
