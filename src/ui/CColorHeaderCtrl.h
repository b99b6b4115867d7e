#pragma once

#include <QFont>
#include <QHeaderView>
#include <QStringList>

// The column header of a CColorListCtrl, painted in the user's colours: each
// caption in its own bold serif font, the user's text colour on the user's
// background, every item framed in the highlight colour of the moment the
// header was made, until another frame colour is set. Clicking an item does nothing.
class CColorHeaderCtrl : public QHeaderView {
  Q_OBJECT

 public:
  explicit CColorHeaderCtrl(QWidget* parent = nullptr);

  // Keeps a column's caption at the column's position.
  void InsertCaption(int column, const QString& caption);
  QString Caption(int column) const { return m_captions.value(column); }
  const QFont& GetCaptionFont() const { return m_captionFont; }
  void SetFrameColor(int colorRef);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  QFont m_captionFont;
  int m_frameColor;
  QStringList m_captions;
};
