#include "ui/CMyMonthCalCtrl.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPainter>
#include <QTextCharFormat>

#include "app/AppBase.h"
#include "ui/ColorRef.h"

CMyMonthCalCtrl::CMyMonthCalCtrl(QWidget* parent) : QCalendarWidget(parent) {
  setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  // The calendar is narrow: longer day names would be cut.
  setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
  setGridVisible(false);
  // Every day in the text colour: no day of the week is set apart.
  for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
    setWeekdayTextFormat(static_cast<Qt::DayOfWeek>(day), QTextCharFormat());
  }
  ApplyColors();
  // The days are a view inside the calendar; its keys come here first.
  if (QAbstractItemView* days = findChild<QAbstractItemView*>()) days->installEventFilter(this);
}

void CMyMonthCalCtrl::ApplyColors() {
  const UTSettings& settings = GetApp().GetSettings();
  const QColor background = ColorFromRef(settings.GetClrBackground());
  const QColor text = ColorFromRef(settings.GetClrText());
  // Days of the next and last month, and every day while the calendar is
  // greyed, halfway between text and background.
  const QColor muted = QColor::fromRgbF((text.redF() + background.redF()) / 2, (text.greenF() + background.greenF()) / 2,
                                        (text.blueF() + background.blueF()) / 2);
  QPalette colors = palette();
  colors.setColor(QPalette::Window, background);
  colors.setColor(QPalette::Button, background);
  colors.setColor(QPalette::ButtonText, text);
  colors.setColor(QPalette::WindowText, text);
  // The day grid and its row of day names lie on the user's background, not
  // on the white of edit fields.
  colors.setColor(QPalette::Base, background);
  colors.setColor(QPalette::AlternateBase, background);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) colors.setColor(group, QPalette::Text, text);
  colors.setColor(QPalette::Disabled, QPalette::Text, muted);
  colors.setColor(QPalette::Highlight, ColorFromRef(settings.GetClrHighlight()));
  colors.setColor(QPalette::HighlightedText, text);
  setPalette(colors);
}

void CMyMonthCalCtrl::SetDaysWithItems(const std::vector<QDate>& days) {
  if (days == m_daysWithItems) return;
  for (const QDate& day : m_daysWithItems) setDateTextFormat(day, QTextCharFormat());
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  QStringList names;
  for (const QDate& day : days) {
    setDateTextFormat(day, bold);
    names << QString::number(day.day());
  }
  m_daysWithItems = days;
  setAccessibleDescription(names.isEmpty() ? QString() : QStringLiteral("Days with items: ") + names.join(QStringLiteral(", ")));
}

void CMyMonthCalCtrl::showEvent(QShowEvent* event) {
  ApplyColors();
  QCalendarWidget::showEvent(event);
}

// Asked for today each time, so the mark moves on at midnight.
void CMyMonthCalCtrl::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
  if (date != QDate::currentDate()) {
    QCalendarWidget::paintCell(painter, rect, date);
    return;
  }
  const UTSettings& settings = GetApp().GetSettings();
  painter->save();
  painter->fillRect(rect, ColorFromRef(settings.GetClrHighlight()));
  painter->setPen(ColorFromRef(settings.GetClrText()));
  painter->drawRect(rect.adjusted(0, 0, -1, -1));
  QFont bold = painter->font();
  bold.setBold(true);
  painter->setFont(bold);
  painter->drawText(rect, Qt::AlignCenter, QString::number(date.day()));
  painter->restore();
}

bool CMyMonthCalCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Home &&
      static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
    setSelectedDate(QDate::currentDate());
    return true;
  }
  return QCalendarWidget::eventFilter(watched, event);
}
