#include "ui/CMyTabCtrl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "app/AppBase.h"
#include "ui/ColorRef.h"
#include "ui/DlgBase.h"
#include "ui/OrganizerEvent.h"

CMyTabCtrl::CMyTabCtrl(QWidget* parent)
    : QTabBar(parent), m_background(ColorFromRef(GetApp().GetSettings().GetClrBackground())) {
  setDrawBase(false);
  setExpanding(false);
  setUsesScrollButtons(false);
  setFocusPolicy(Qt::StrongFocus);
  // A click, the arrow keys on the focused tabs and the owner's keys all switch here.
  connect(this, &QTabBar::currentChanged, this, &CMyTabCtrl::SelectTab);
}

CMyTabCtrl::~CMyTabCtrl() { qDeleteAll(m_views); }

void CMyTabCtrl::SetViews(std::vector<ViewMaker> makers) {
  m_makers = std::move(makers);
  m_views.assign(m_makers.size(), nullptr);
}

void CMyTabCtrl::SetOwner(QObject* owner) { m_owner = owner; }

DlgBase* CMyTabCtrl::FindView(int index) const {
  return index >= 0 && index < static_cast<int>(m_views.size()) ? m_views[static_cast<size_t>(index)] : nullptr;
}

DlgBase* CMyTabCtrl::GetView(int index) {
  if (index < 0 || index >= static_cast<int>(m_views.size())) return nullptr;
  DlgBase*& view = m_views[static_cast<size_t>(index)];
  if (view) return view;
  view = m_makers[static_cast<size_t>(index)]();
  // The pages stand beside the tabs in the owning window, over the control's
  // area: children of a tab bar are hidden from screen readers.
  view->setParent(parentWidget() ? parentWidget() : this, Qt::Widget);
  if (m_created) {
    view->Create();
    view->setGeometry(ViewArea());
    if (index != m_current) view->hide();
  }
  emit viewMade(index);
  return view;
}

void CMyTabCtrl::CreateViews() {
  m_current = 0;
  m_created = true;
  if (DlgBase* first = GetView(0)) first->Create();
  PostTabChanged();
  PlaceViews();
}

// Below the first tab, inside the control's own area.
QRect CMyTabCtrl::ViewArea() const {
  const QRect item = count() > 0 ? tabRect(0) : QRect(0, 0, 0, 0);
  const int x = item.left();
  const int y = item.bottom() + 2;  // one pixel below the tab's last row
  QRect area(x, y, width() - x - 1, height() - y - 1);
  if (parentWidget()) area.translate(pos());
  return area;
}

void CMyTabCtrl::PlaceViews() {
  for (size_t i = 0; i < m_views.size(); ++i) {
    if (!m_views[i]) continue;
    m_views[i]->setGeometry(ViewArea());
    if (static_cast<int>(i) == m_current) {
      m_views[i]->show();
    } else {
      m_views[i]->hide();
    }
  }
  if (DlgBase* current = FindView(m_current)) current->raise();
}

void CMyTabCtrl::ApplyColors() {
  m_background = ColorFromRef(GetApp().GetSettings().GetClrBackground());
  update();
}

void CMyTabCtrl::SelectTab(int index) {
  if (!GetView(index)) return;  // made here when first shown
  if (currentIndex() != index) setCurrentIndex(index);  // comes back here through currentChanged
  if (index == m_current) return;
  setUpdatesEnabled(false);
  m_views[static_cast<size_t>(m_current)]->hide();
  m_current = index;
  DlgBase* view = m_views[static_cast<size_t>(m_current)];
  view->show();
  view->raise();
  view->setFocus();
  setUpdatesEnabled(true);
  view->repaint();
  PostTabChanged();
}

// Only a click switches the view; turning the wheel over the tabs would move
// the selection away from the page that is shown.
void CMyTabCtrl::wheelEvent(QWheelEvent* event) { event->ignore(); }

void CMyTabCtrl::focusInEvent(QFocusEvent* event) {
  QTabBar::focusInEvent(event);
  // Reached with Tab, the tabs keep the focus so that the arrows can switch
  // pages; otherwise the focus goes on to the current page's list.
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
    update();  // the focus mark
    return;
  }
  if (DlgBase* view = FindView(m_current)) view->FocusList();
}

void CMyTabCtrl::focusOutEvent(QFocusEvent* event) {
  QTabBar::focusOutEvent(event);
  update();
}

void CMyTabCtrl::PostTabChanged() const {
  if (m_owner) QCoreApplication::postEvent(m_owner, new OrganizerEvent(OrganizerEvent::kTabChanged, m_current));
}

// Tabs in the user's colours: the background colour over the control's own
// border and behind each label, the label in the text colour.
void CMyTabCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(m_background.color(), 4));
  painter.drawRect(rect());
  painter.setPen(ColorFromRef(GetApp().GetSettings().GetClrText()));
  painter.setFont(font());
  for (int i = 0; i < count(); ++i) {
    const QRect item = tabRect(i);
    painter.fillRect(item.adjusted(-2, -2, 2, 2), m_background);
    // The labels carry spaces to widen tabs that size themselves; these share the width.
    painter.drawText(item, Qt::AlignCenter | Qt::TextSingleLine, tabText(i).trimmed());
  }
  if (count() > 0) {
    // The current tab is the one joined to the page below.
    // Half a pixel inside its edges, so that no scale factor rounds a side away.
    const QRectF current = QRectF(tabRect(currentIndex())).adjusted(0.5, 0.5, -0.5, 0);
    painter.drawPolyline(QPolygonF({current.bottomLeft(), current.topLeft(), current.topRight(), current.bottomRight()}));
    if (hasFocus()) {
      painter.setPen(QPen(ColorFromRef(GetApp().GetSettings().GetClrBorder()), 2));
      painter.drawRoundedRect(current.adjusted(3, 3, -3, -2), 3, 3);
    }
  }
}

void CMyTabCtrl::resizeEvent(QResizeEvent* event) {
  QTabBar::resizeEvent(event);
  PlaceViews();
}

void CMyTabCtrl::moveEvent(QMoveEvent* event) {
  QTabBar::moveEvent(event);
  PlaceViews();
}

// Screen readers hear the names without the padding that widens the tabs.
void CMyTabCtrl::tabInserted(int index) {
  QTabBar::tabInserted(index);
  setAccessibleTabName(index, tabText(index).trimmed());
}

// Every tab has the same width, and together they span the control.
QSize CMyTabCtrl::tabSizeHint(int index) const {
  const QSize natural = QTabBar::tabSizeHint(index);
  return count() > 0 ? QSize(width() / count(), natural.height()) : natural;
}

QSize CMyTabCtrl::minimumTabSizeHint(int index) const { return tabSizeHint(index); }
