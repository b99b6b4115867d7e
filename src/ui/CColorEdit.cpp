#include "ui/CColorEdit.h"

#include "app/AppBase.h"
#include "ui/ColorRef.h"
#include "ui/UserPalette.h"

CColorEdit::CColorEdit(QWidget* parent)
    : QLineEdit(parent),
      m_backColor(RefFromColor(FieldColor(GetApp().GetSettings()))),
      m_textColor(GetApp().GetSettings().GetClrText()) {
  ApplyColors();
}

void CColorEdit::SetForeColor(int colorRef) {
  m_textColor = colorRef;
  ApplyColors();
}

void CColorEdit::SetBackColor(int colorRef) {
  m_backColor = colorRef;
  ApplyColors();
}

void CColorEdit::ApplyColors() {
  QPalette colors = palette();
  colors.setColor(QPalette::Base, ColorFromRef(m_backColor));
  colors.setColor(QPalette::Text, ColorFromRef(m_textColor));
  setPalette(colors);
  repaint();
}
