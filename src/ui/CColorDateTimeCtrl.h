#pragma once

#include <QDateTimeEdit>

// A date or time picker whose text is always in the user's current text colour.
// A time picker also takes a whole time typed in one go over its hour or its
// whole text ("5", "17:30", "5:30 PM", "5.30pm"): each key shows the time
// typed so far. Typed into the minutes or AM/PM, a key fills that part alone.
class CColorDateTimeCtrl : public QDateTimeEdit {
  Q_OBJECT

 public:
  explicit CColorDateTimeCtrl(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void ApplyTextColor();
  bool ShowsTimeOnly() const;

  QString m_typed;  // the keys typed since the picker was entered or clicked
};
