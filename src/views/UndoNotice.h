#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QTimer;

// The short notice at the foot of the main window after a delete: "Deleted
// 'X' — Undo", in the user's colours. It goes by itself after a few seconds;
// its Undo button does what Ctrl+Z does.
class UndoNotice : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kShownMs = 8000;

  explicit UndoNotice(QWidget* parent);

  // Shows the notice for a record just deleted, over the bottom edge of `over`.
  void ShowDeleted(const QString& title, const QRect& over);
  // Takes the user's colours and fonts again, after they changed.
  void ApplyColors(const QFont& font);

 signals:
  void undoClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* m_text;
  QPushButton* m_undo;
  QTimer* m_hide;
};
