#pragma once

#include <QBrush>
#include <QTabBar>
#include <functional>
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

  using ViewMaker = std::function<DlgBase*()>;
  // The makers of the views, in tab order. A view is made when it is first
  // needed, so that pages nobody looks at cost nothing at start-up; the
  // control takes each over as its child.
  void SetViews(std::vector<ViewMaker> makers);
  void SetOwner(QObject* owner);

  // Makes and initialises the first view, shows it, posts the tab-changed
  // event for index 0 and places it. Views made later are initialised as they come.
  void CreateViews();
  // Puts every view made into the area below the tab row; only the current one shows.
  void PlaceViews();
  // Takes the user's current background colour.
  void ApplyColors();

  int GetCurrent() const { return m_current; }
  // Shows the view of a tab as a click on it does.
  void SelectTab(int index);
  // The view of a tab, made first if it was not yet; nullptr for no such tab.
  DlgBase* GetView(int index);
  // The view of a tab if it has been made, otherwise nullptr.
  DlgBase* FindView(int index) const;

 signals:
  // A view was made: its owner may connect to it.
  void viewMade(int index);

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
  QRect ViewArea() const;

  std::vector<ViewMaker> m_makers;
  std::vector<DlgBase*> m_views;  // nullptr until made
  bool m_created = false;
  int m_current = 0;
  QBrush m_background;  // the background colour as it was when the control was made or last recoloured
  QObject* m_owner = nullptr;
};
