#pragma once

#include <QCalendarWidget>
#include <vector>

// The month calendar of the dates page. Its navigation bar, buttons and day
// grid take the user's background colour, and its days the text colour, as
// they are each time the calendar is shown. Today is marked in the user's
// highlight colour, framed, and Home goes back to it. Days that hold an event
// or a task due are drawn in bold, and named in its accessible description
// for those who cannot see the bold.
class CMyMonthCalCtrl : public QCalendarWidget {
  Q_OBJECT

 public:
  explicit CMyMonthCalCtrl(QWidget* parent = nullptr);

  void ApplyColors();
  // The days to draw in bold, replacing those before.
  void SetDaysWithItems(const std::vector<QDate>& days);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QDate> m_daysWithItems;
};
