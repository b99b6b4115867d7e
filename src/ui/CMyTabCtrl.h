#pragma once

#include <QBrush>
#include <QTabBar>
#include <vector>

class DlgBase;

// The main window's tabs, owning one record view per tab. Views switch only on
// a mouse press on another tab; the owner then hears of it through a posted
// tab-changed event. The control never keeps the keyboard focus: it hands it
// on to the current view's list.
class CMyTabCtrl : public QTabBar {
  Q_OBJECT

 public:
  explicit CMyTabCtrl(QWidget* parent = nullptr);

  // The views, in tab order; the control takes them over as its children.
  void SetViews(const std::vector<DlgBase*>& views);
  void SetOwner(QObject* owner);

  // Initialises the views, shows the first, posts the tab-changed event for
  // index 0 and places the views.
  void CreateViews();
  // Puts every view into the area below the tab row; only the current one shows.
  void PlaceViews();
  // Takes the user's current background colour.
  void ApplyColors();

  int GetCurrent() const { return m_current; }
  DlgBase* GetView(int index) const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  QSize tabSizeHint(int index) const override;
  QSize minimumTabSizeHint(int index) const override;

 private:
  void PostTabChanged() const;

  std::vector<DlgBase*> m_views;
  int m_current = 0;
  QBrush m_background;  // the background colour as it was when the control was made or last recoloured
  QObject* m_owner = nullptr;
};
