#include <QCoreApplication>
#include <QTest>
#include <QWheelEvent>

#include "UiTest.h"
#include "ui/CMyTabCtrl.h"
#include "ui/DlgBase.h"
#include "ui/OrganizerEvent.h"

namespace {

// A page that counts how often it is asked to take the focus and is initialised.
class CountingView : public DlgBase {
 public:
  explicit CountingView(int templateId) : DlgBase(templateId) {}
  void FocusList() override { ++focusRequests; }
  int focusRequests = 0;
  int inits = 0;

 protected:
  bool OnInitDialog() override {
    ++inits;
    return DlgBase::OnInitDialog();
  }
};

// Stands in for the main window: keeps the tab indexes of the events it gets.
class TabOwner : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != static_cast<QEvent::Type>(OrganizerEvent::kTabChanged)) return QObject::event(e);
    indexes.push_back(static_cast<OrganizerEvent*>(e)->WParam());
    return true;
  }
  std::vector<int> indexes;
};

class TabCtrlTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    m_tabs = std::make_unique<CMyTabCtrl>();
    std::vector<CMyTabCtrl::ViewMaker> makers;
    for (int templateId : {106, 107, 109, 108}) {
      makers.push_back([this, templateId, index = makers.size()] {
        ++m_made;
        return m_views[index] = new CountingView(templateId);
      });
    }
    m_views.assign(makers.size(), nullptr);
    m_tabs->SetViews(std::move(makers));
    m_tabs->SetOwner(&m_owner);
    for (const char* label : {"My Tasks", "My Contacts", "My Dates & Events", "My Notes"}) m_tabs->addTab(label);
    m_tabs->resize(700, 400);
    m_tabs->show();
    m_tabs->CreateViews();
    QCoreApplication::processEvents();
  }

  void ClickTab(int index) {
    QTest::mouseClick(m_tabs.get(), Qt::LeftButton, {}, m_tabs->tabRect(index).center());
    QCoreApplication::processEvents();
  }

  std::vector<bool> Shown() const {
    std::vector<bool> shown;
    for (CountingView* view : m_views) shown.push_back(view && view->isVisible());
    return shown;
  }

  std::unique_ptr<CMyTabCtrl> m_tabs;
  std::vector<CountingView*> m_views;  // nullptr until made
  int m_made = 0;
  TabOwner m_owner;
};

}  // namespace

TEST_F(TabCtrlTest, CreatingTheViewsShowsTheFirstAndAnnouncesIt) {
  EXPECT_EQ(m_owner.indexes, std::vector<int>{0});
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false, false}));
  // The page sits inside the control, below the tab row.
  const QRect page = m_views[0]->geometry();
  EXPECT_GT(page.top(), m_tabs->tabRect(0).bottom());
  EXPECT_LE(page.right(), m_tabs->width() - 1);
  EXPECT_LE(page.bottom(), m_tabs->height() - 1);
  EXPECT_GT(page.height(), 300);
  EXPECT_EQ(m_made, 1) << "the other pages wait until they are first shown";

  // Another page is made as it is first shown, initialised, in the same place, and only once.
  ClickTab(2);
  ClickTab(0);
  ClickTab(2);
  ASSERT_NE(m_views[2], nullptr);
  EXPECT_EQ(m_made, 2);
  EXPECT_EQ(m_views[2]->inits, 1);
  EXPECT_EQ(m_views[2]->geometry(), page);
  EXPECT_EQ(m_views[2]->parentWidget(), m_views[0]->parentWidget());
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true, false}));
}

TEST_F(TabCtrlTest, AClickOnAnotherTabSwitchesTheViewAndTheCurrentOnePostsNothing) {
  ClickTab(0);
  EXPECT_EQ(m_owner.indexes, std::vector<int>{0}) << "the current tab posts nothing";

  ClickTab(2);
  EXPECT_EQ(m_owner.indexes, (std::vector<int>{0, 2}));
  EXPECT_EQ(m_tabs->GetCurrent(), 2);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true, false}));

  ClickTab(3);
  EXPECT_EQ(m_owner.indexes, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, false, true}));
}

TEST_F(TabCtrlTest, ArrowKeysAndSelectTabSwitchLikeAClickButTheWheelDoesNot) {
  m_tabs->setFocus(Qt::TabFocusReason);
  QTest::keyClick(m_tabs.get(), Qt::Key_Right);
  QCoreApplication::processEvents();
  EXPECT_EQ(m_tabs->GetCurrent(), 1);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false, false}));

  m_tabs->SelectTab(3);
  m_tabs->SelectTab(3);  // the current tab posts nothing
  m_tabs->SelectTab(7);  // no such tab
  QCoreApplication::processEvents();
  EXPECT_EQ(m_tabs->currentIndex(), 3);
  EXPECT_EQ(m_owner.indexes, (std::vector<int>{0, 1, 3}));

  QWheelEvent wheel(QPointF(10, 10), m_tabs->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120), Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(m_tabs.get(), &wheel);
  EXPECT_EQ(m_tabs->GetCurrent(), 3);
}

TEST_F(TabCtrlTest, ScreenReadersHearTheTabNamesWithoutPadding) {
  m_tabs->addTab(QStringLiteral("        My Dates & Events      "));
  EXPECT_EQ(m_tabs->accessibleTabName(4), QStringLiteral("My Dates & Events"));
}

TEST_F(TabCtrlTest, TheFocusGoesOnToTheCurrentViewsList) {
  ClickTab(1);
  const int before = m_views[1]->focusRequests;
  const int firstBefore = m_views[0]->focusRequests;
  m_tabs->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_tabs.get()));
  m_views[1]->setFocus();
  m_tabs->setFocus(Qt::OtherFocusReason);
  QCoreApplication::processEvents();
  EXPECT_GT(m_views[1]->focusRequests, before);
  EXPECT_EQ(m_views[0]->focusRequests, firstBefore) << "only the current view is asked";

  // Reached with Tab, the tabs keep the focus for the arrow keys.
  m_views[1]->setFocus();
  const int afterOther = m_views[1]->focusRequests;
  m_tabs->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(m_views[1]->focusRequests, afterOther);
}
