#pragma once

#include <QTextEdit>

// A multi-line plain-text field of the contact editor, in the user's colours.
class CMyRichEditCtrl : public QTextEdit {
  Q_OBJECT

 public:
  explicit CMyRichEditCtrl(QWidget* parent = nullptr);

  // Colours the whole text, and what is typed next, in the user's text colour.
  // The text is left selected.
  void SetTextColorAll();

 protected:
  void showEvent(QShowEvent* event) override;
};
