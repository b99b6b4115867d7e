#include "ui/CColorDateTimeCtrl.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "app/AppBase.h"
#include "ui/ColorRef.h"
#include "ui/TypedTime.h"

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

bool CColorDateTimeCtrl::ShowsTimeOnly() const { return !(displayedSections() & QDateTimeEdit::DateSections_Mask); }

void CColorDateTimeCtrl::keyPressEvent(QKeyEvent* event) {
  // Shift on its own, pressed for a ":" say, is part of the typing.
  const int code = event->key();
  if (code == Qt::Key_Shift || code == Qt::Key_Control || code == Qt::Key_Alt || code == Qt::Key_Meta) {
    QDateTimeEdit::keyPressEvent(event);
    return;
  }
  const QString key = event->text();
  const bool timeKey = key.size() == 1 && (key[0].isDigit() || QStringLiteral(":. aApPmM").contains(key[0]));
  const bool erase = event->key() == Qt::Key_Backspace && !m_typed.isEmpty();
  // Typing that starts in the minutes or AM/PM fills that part alone, as before;
  // a time typed over the hour or the whole text is read whole.
  const bool wholeTime = !m_typed.isEmpty() || currentSection() == QDateTimeEdit::HourSection ||
                         lineEdit()->selectedText() == lineEdit()->text();
  if (!ShowsTimeOnly() || !wholeTime || !(timeKey || erase) ||
      (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
    m_typed.clear();
    QDateTimeEdit::keyPressEvent(event);
    return;
  }
  // The sections alone would take "5" into the hour only, or nothing after a
  // select-all; the whole text typed so far is read as one time instead.
  const QString typed = erase ? m_typed.chopped(1) : m_typed + key;
  m_typed = typed;
  if (const std::optional<QTime> time = ParseTypedTime(typed)) setTime(*time);
  event->accept();
}

void CColorDateTimeCtrl::focusInEvent(QFocusEvent* event) {
  m_typed.clear();
  QDateTimeEdit::focusInEvent(event);
}

void CColorDateTimeCtrl::mousePressEvent(QMouseEvent* event) {
  m_typed.clear();
  QDateTimeEdit::mousePressEvent(event);
}

bool CColorDateTimeCtrl::focusNextPrevChild(bool next) {
  m_typed.clear();  // Tab moves between the parts: what is typed next is new
  return QDateTimeEdit::focusNextPrevChild(next);
}
