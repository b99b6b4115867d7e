#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "UiTest.h"
#include "ui/CColorStatic.h"
#include "ui/DlgBase.h"

namespace {

// A message-sized dialog, layered or not, draggable or (like a view) not.
class ProbeDialog : public DlgBase {
 public:
  ProbeDialog(bool layered, bool draggable) : DlgBase(134) {
    m_layered = layered ? 1 : 0;
    m_draggable = draggable ? 1 : 0;
  }
};

int Alpha(const QWidget& window) { return qRound(window.windowOpacity() * 255); }

QTimer* Timer(const DlgBase& dialog, int id) {
  return dialog.findChild<QTimer*>(QStringLiteral("timer%1").arg(id), Qt::FindDirectChildrenOnly);
}

// Lets a running timer fire at once and waits until its handler killed it.
bool FireAndWait(QTimer* timer) {
  timer->start(1);
  return QTest::qWaitFor([timer] { return !timer->isActive(); }, 1000);
}

void Leave(QWidget& widget) {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&widget, &leave);
}

}  // namespace

class DlgBaseTest : public UiTest {
 protected:
  // Shows the dialog at a known place, its cursor parked far outside it.
  void Place(DlgBase& dialog) {
    dialog.Create();
    dialog.move(100, 100);
    dialog.show();
    QCursor::setPos(900, 900);
  }
};

TEST_F(DlgBaseTest, LayeredDialogStartsTransparentAndFadesInTo244) {
  ProbeDialog dialog(true, true);
  Place(dialog);
  EXPECT_EQ(Alpha(dialog), 0);
  dialog.StartTimer(DlgBase::kTimerFadeIn, 50);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Timer(dialog, 1)->isActive(); }, 1000));
  EXPECT_EQ(Alpha(dialog), 244);
  QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), dialog.mapToGlobal(QPointF(20, 20)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&dialog, &move);
  EXPECT_EQ(Alpha(dialog), 255);
}

TEST_F(DlgBaseTest, IdleFadeStartsWhenThePointerLeavesAndEndsAt76) {
  Settings().SetTransparent(1);
  ProbeDialog dialog(true, true);
  Place(dialog);
  dialog.SetLayeredAlpha(255);

  Leave(dialog);
  QTimer* idle = Timer(dialog, DlgBase::kTimerIdleFade);
  ASSERT_NE(idle, nullptr);
  EXPECT_TRUE(idle->isActive());
  EXPECT_EQ(idle->interval(), 3000);
  EXPECT_EQ(Alpha(dialog), 255);
  ASSERT_TRUE(FireAndWait(idle));
  EXPECT_EQ(Alpha(dialog), 76);
}

TEST_F(DlgBaseTest, PointerBackOrOverAControlKeepsTheWindowOpaque) {
  Settings().SetTransparent(1);
  ProbeDialog dialog(true, true);
  Place(dialog);

  // A move before the three seconds are up cancels the fade.
  Leave(dialog);
  ASSERT_TRUE(Timer(dialog, DlgBase::kTimerIdleFade)->isActive());
  QMouseEvent move(QEvent::MouseMove, QPointF(30, 30), dialog.mapToGlobal(QPointF(30, 30)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&dialog, &move);
  EXPECT_FALSE(Timer(dialog, DlgBase::kTimerIdleFade)->isActive());
  EXPECT_EQ(Alpha(dialog), 255);

  // Leaving onto a control inside the window starts nothing.
  QCursor::setPos(dialog.GetDlgItem(1)->mapToGlobal(QPoint(5, 5)));
  ASSERT_EQ(QCursor::pos(), dialog.GetDlgItem(1)->mapToGlobal(QPoint(5, 5)));
  Leave(dialog);
  EXPECT_FALSE(Timer(dialog, DlgBase::kTimerIdleFade)->isActive());
}

TEST_F(DlgBaseTest, WithoutTheTransparentSettingLeavingStartsNoFade) {
  Settings().SetTransparent(0);
  ProbeDialog dialog(true, true);
  Place(dialog);
  Leave(dialog);
  const QTimer* idle = Timer(dialog, DlgBase::kTimerIdleFade);
  EXPECT_TRUE(idle == nullptr || !idle->isActive());
}

// Without the layered flag the timers run and end as usual, but the window
// never changes its opacity.
TEST_F(DlgBaseTest, NonLayeredDialogRunsTheTimersButStaysOpaque) {
  Settings().SetTransparent(1);
  ProbeDialog dialog(false, true);
  Place(dialog);
  EXPECT_EQ(dialog.SetLayeredAlpha(10), 1);
  EXPECT_EQ(Alpha(dialog), 255);

  dialog.StartTimer(DlgBase::kTimerFadeIn, 50);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Timer(dialog, 1)->isActive(); }, 1000));
  Leave(dialog);
  QTimer* idle = Timer(dialog, DlgBase::kTimerIdleFade);
  ASSERT_TRUE(idle && idle->isActive());
  ASSERT_TRUE(FireAndWait(idle));
  EXPECT_EQ(Alpha(dialog), 255);
}

TEST_F(DlgBaseTest, DraggingTheBackgroundOrALabelMovesTheWindow) {
  ProbeDialog dialog(false, true);
  Place(dialog);
  QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(&dialog, QPoint(25, 35));
  EXPECT_EQ(dialog.pos(), QPoint(120, 130));
  QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(5, 5));

  // Labels are part of the background.
  QWidget* title = dialog.GetDlgItem(1096);
  const QPoint pressAt = title->mapTo(&dialog, QPoint(4, 4));
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(4, 4));
  QTest::mouseMove(&dialog, pressAt + QPoint(-20, 10));
  EXPECT_EQ(dialog.pos(), QPoint(100, 140));
  QTest::mouseRelease(&dialog, Qt::LeftButton, {}, pressAt);

  // After the release a plain move does nothing.
  QTest::mouseMove(&dialog, QPoint(60, 60));
  EXPECT_EQ(dialog.pos(), QPoint(100, 140));
}

TEST_F(DlgBaseTest, DragThatBeganOnAControlDoesNotMoveTheWindow) {
  ProbeDialog dialog(false, true);
  Place(dialog);
  QWidget* yes = dialog.GetDlgItem(1);
  QTest::mousePress(yes, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(&dialog, QPoint(10, 10));
  QTest::mouseMove(&dialog, QPoint(40, 50));
  EXPECT_EQ(dialog.pos(), QPoint(100, 100));
  QTest::mouseRelease(yes, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(DlgBaseTest, ViewsIgnoreTheMouseEntirely) {
  Settings().SetTransparent(1);
  ProbeDialog dialog(true, false);
  Place(dialog);
  dialog.SetLayeredAlpha(100);
  QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(&dialog, QPoint(45, 45));
  QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(45, 45));
  Leave(dialog);
  EXPECT_EQ(dialog.pos(), QPoint(100, 100));
  EXPECT_EQ(Alpha(dialog), 100);
  const QTimer* idle = Timer(dialog, DlgBase::kTimerIdleFade);
  EXPECT_TRUE(idle == nullptr || !idle->isActive());
}

TEST_F(DlgBaseTest, ControlsAreMadeAsTheirClassesAndFoundById) {
  DlgBase dialog(153);
  EXPECT_TRUE(qobject_cast<CColorStatic*>(dialog.GetDlgItem(1070)));
  EXPECT_EQ(qobject_cast<QLabel*>(dialog.GetDlgItem(1098))->text(), QStringLiteral("Background Color:"));
  EXPECT_EQ(dialog.GetDlgItem(4242), nullptr);
  // Page templates become pages, not windows.
  QWidget host;
  DlgBase page(106, &host);
  EXPECT_FALSE(page.isWindow());
  EXPECT_TRUE(dialog.isWindow());
}

// Shown without DoModal, a window is laid out first and then centred at its final size.
TEST_F(DlgBaseTest, ShownWindowIsCentredAtItsLaidOutSize) {
  DlgBase dialog(116);
  dialog.show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_NE(dialog.GetScaledDialogFont(), nullptr);
  EXPECT_LE((dialog.geometry().center() - screen.center()).manhattanLength(), 2);
}
