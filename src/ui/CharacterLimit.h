#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// Holds a line edit to a number of characters, each counted once however it
// is encoded (an emoji or a CJK character is one character). What is typed or
// pasted beyond the limit is cut off where it was inserted, never inside a
// character, and the text around it stays as it was.
class CharacterLimit : public QValidator {
  Q_OBJECT

 public:
  // Installs itself as the edit's validator; the edit owns it.
  CharacterLimit(QLineEdit* edit, int limit);

  State validate(QString& input, int& pos) const override;

  static int CountCharacters(const QString& text);

 private:
  int m_limit;
  // The text the edit held after the last change, to tell what a change inserted.
  mutable QString m_accepted;
};
