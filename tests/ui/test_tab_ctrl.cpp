#include <QCoreApplication>
#include <QTest>

#include "UiTest.h"
#include "ui/CMyTabCtrl.h"
#include "ui/DlgBase.h"
#include "ui/OrganizerEvent.h"

namespace {

// A page that counts how often it is asked to take the focus.
class CountingView : public DlgBase {
 public:
  explicit CountingView(int templateId) : DlgBase(templateId) {}
  void FocusList() override { ++focusRequests; }
  int focusRequests = 0;
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
    for (int templateId : {106, 107, 109, 108}) m_views.push_back(new CountingView(templateId));
    m_tabs->SetViews({m_views.begin(), m_views.end()});
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
    for (CountingView* view : m_views) shown.push_back(view->isVisible());
    return shown;
  }

  std::unique_ptr<CMyTabCtrl> m_tabs;
  std::vector<CountingView*> m_views;
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

TEST_F(TabCtrlTest, OnlyTheMouseSwitchesViews) {
  m_tabs->setCurrentIndex(1);  // as the keyboard would
  QCoreApplication::processEvents();
  EXPECT_EQ(m_tabs->GetCurrent(), 0);
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(m_owner.indexes, std::vector<int>{0});
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
}
