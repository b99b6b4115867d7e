#pragma once

#include <QLabel>

// A label, title, group box or colour swatch in chosen colours: by default
// the user's text colour on the user's background colour.
class CColorStatic : public QLabel {
  Q_OBJECT

 public:
  explicit CColorStatic(QWidget* parent = nullptr);

  void SetForeColor(int colorRef);
  void SetBackColor(int colorRef);
  int GetForeColor() const { return m_textColor; }
  int GetBackColor() const { return m_backColor; }

  // Draws a titled frame round the control's area instead of a plain label.
  void SetGroupBox(bool groupBox);

  // Widens the label to the right when its text, measured in the label's own
  // font, does not fit: by the excess and a tenth more.
  void FitToText();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ApplyColors();

  int m_backColor;
  int m_textColor;
  bool m_groupBox = false;
};
