#pragma once

#include <QCalendarWidget>

// The month calendar of the dates page. Its navigation bar, buttons and day
// grid take the user's background colour, and its days the text colour, as
// they are each time the calendar is shown. Today is marked in the user's
// highlight colour, framed, and Home goes back to it.
class CMyMonthCalCtrl : public QCalendarWidget {
  Q_OBJECT

 public:
  explicit CMyMonthCalCtrl(QWidget* parent = nullptr);

  void ApplyColors();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};
