#include "ui/CMyRichEditCtrl.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextCursor>

#include "app/AppBase.h"
#include "ui/ColorRef.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLf = QStringLiteral("\n");
const QString kCr = QStringLiteral("\r");

// The break a text writes first; a text without one says nothing.
QString FirstBreak(const QString& text) {
  const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (at < 0) return QString();
  if (text[at] == QLatin1Char('\n')) return kLf;
  return text.mid(at, 2) == kCrLf ? kCrLf : kCr;
}

// A text as the document shows it: each CR/LF, CR, LF or separator is one break.
QString AsShown(QString text) {
  text.replace(kCrLf, kLf);
  for (QChar other : {QChar(u'\r'), QChar(QChar::ParagraphSeparator), QChar(QChar::LineSeparator)}) {
    text.replace(other, QLatin1Char('\n'));
  }
  return text;
}

bool IsCtrlTab(const QKeyEvent& key) {
  const Qt::KeyboardModifiers others = Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
  return key.key() == Qt::Key_Tab && key.modifiers().testFlag(Qt::ControlModifier) && !(key.modifiers() & others);
}

}  // namespace

CMyRichEditCtrl::CMyRichEditCtrl(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(false);
  // Tab walks the dialog like in every other field; Ctrl+Tab types a tab.
  setTabChangesFocus(true);
}

bool CMyRichEditCtrl::event(QEvent* event) {
  // Ctrl+Tab belongs to the field, not to a shortcut of the window around it.
  if (event->type() == QEvent::ShortcutOverride && IsCtrlTab(*static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QTextEdit::event(event);
}

void CMyRichEditCtrl::keyPressEvent(QKeyEvent* event) {
  if (IsCtrlTab(*event) && !isReadOnly()) {
    insertPlainText(QStringLiteral("\t"));
    event->accept();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void CMyRichEditCtrl::SetTextColorAll() {
  QTextCharFormat format;
  format.setForeground(ColorFromRef(GetApp().GetSettings().GetClrText()));
  QTextCursor cursor(document());
  cursor.select(QTextCursor::Document);
  cursor.mergeCharFormat(format);
  setTextCursor(cursor);
  mergeCurrentCharFormat(format);
}

void CMyRichEditCtrl::SetStoredText(const QString& text) {
  m_stored = text;
  const QString written = FirstBreak(text);
  m_lineBreak = written.isEmpty() ? kLf : written;
  setPlainText(text);
}

QString CMyRichEditCtrl::StoredText() const {
  const QString shown = ShownText();
  if (shown == AsShown(m_stored)) return m_stored;
  if (m_lineBreak == kLf) return shown;
  return QString(shown).replace(kLf, m_lineBreak);
}

// Unlike toPlainText, the raw text keeps non-breaking spaces as they are.
QString CMyRichEditCtrl::ShownText() const { return AsShown(document()->toRawText()); }

// A text without breaks of its own takes the breaks of the first text pasted
// into it, so pasted CR/LF lines are saved as CR/LF lines.
void CMyRichEditCtrl::insertFromMimeData(const QMimeData* source) {
  if (source && source->hasText() && !ShownText().contains(kLf)) {
    const QString pasted = FirstBreak(source->text());
    if (!pasted.isEmpty()) m_lineBreak = pasted;
  }
  QTextEdit::insertFromMimeData(source);
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
