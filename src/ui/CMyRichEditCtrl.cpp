#include "ui/CMyRichEditCtrl.h"

#include <QTextCursor>

#include "app/AppBase.h"
#include "ui/ColorRef.h"

CMyRichEditCtrl::CMyRichEditCtrl(QWidget* parent) : QTextEdit(parent) { setAcceptRichText(false); }

void CMyRichEditCtrl::SetTextColorAll() {
  QTextCharFormat format;
  format.setForeground(ColorFromRef(GetApp().GetSettings().GetClrText()));
  QTextCursor cursor(document());
  cursor.select(QTextCursor::Document);
  cursor.mergeCharFormat(format);
  setTextCursor(cursor);
  mergeCurrentCharFormat(format);
}

// Scroll bars and the frame around the text take the background colour as it is now.
void CMyRichEditCtrl::showEvent(QShowEvent* event) {
  QPalette colors = palette();
  const QColor background = ColorFromRef(GetApp().GetSettings().GetClrBackground());
  colors.setColor(QPalette::Window, background);
  colors.setColor(QPalette::Button, background);
  setPalette(colors);
  QTextEdit::showEvent(event);
}
