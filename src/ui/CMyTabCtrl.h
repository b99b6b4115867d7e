#pragma once

#include <QBrush>
#include <QTabBar>
#include <vector>

class DlgBase;

// The main window's tabs, owning one record view per tab. Views switch on a
// click on another tab, on the arrow keys while the tabs have the focus, and
// by SelectTab; the owner then hears of it through a posted tab-changed event.
// The control keeps the keyboard focus only when it was reached with Tab;
// otherwise it hands it on to the current view's list.
class CMyTabCtrl : public QTabBar {
  Q_OBJECT

 public:
  explicit CMyTabCtrl(QWidget* parent = nullptr);
  ~CMyTabCtrl() override;

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
  // Shows the view of a tab as a click on it does.
  void SelectTab(int index);
  DlgBase* GetView(int index) const;

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void tabInserted(int index) override;
  QSize tabSizeHint(int index) const override;
  QSize minimumTabSizeHint(int index) const override;

 private:
  void PostTabChanged() const;

  std::vector<DlgBase*> m_views;
  int m_current = 0;
  QBrush m_background;  // the background colour as it was when the control was made or last recoloured
  QObject* m_owner = nullptr;
};
