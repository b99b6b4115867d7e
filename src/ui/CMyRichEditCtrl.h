#pragma once

#include <QString>
#include <QTextEdit>

// A multi-line plain-text field of the editors, in the user's colours. Its
// text goes to and from the store through SetStoredText and StoredText, which
// keep what was stored exactly: line breaks as they were written (LF, CR/LF
// or CR), non-breaking spaces and separators included. Pasted rich text
// arrives as plain text.
class CMyRichEditCtrl : public QTextEdit {
  Q_OBJECT

 public:
  explicit CMyRichEditCtrl(QWidget* parent = nullptr);

  // Colours the whole text, and what is typed next, in the user's text colour.
  // The text is left selected.
  void SetTextColorAll();

  void SetStoredText(const QString& text);
  // The text as it was stored while it is unchanged; otherwise the text shown,
  // its line breaks written the way the stored (or first pasted) text wrote them.
  QString StoredText() const;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  // The document's text with every break as "\n" and nothing else replaced.
  QString ShownText() const;

  QString m_stored;
  QString m_lineBreak = QStringLiteral("\n");
};
