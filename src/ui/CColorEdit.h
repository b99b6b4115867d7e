#pragma once

#include <QLineEdit>

// A single-line edit field in chosen colours: white behind the user's text
// colour unless the dialog sets others.
class CColorEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CColorEdit(QWidget* parent = nullptr);

  void SetForeColor(int colorRef);
  void SetBackColor(int colorRef);

 private:
  void ApplyColors();

  int m_backColor;
  int m_textColor;
};
