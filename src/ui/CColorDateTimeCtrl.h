#pragma once

#include <QDateTimeEdit>

// A date or time picker whose text is always in the user's current text colour.
class CColorDateTimeCtrl : public QDateTimeEdit {
  Q_OBJECT

 public:
  explicit CColorDateTimeCtrl(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTextColor();
};
