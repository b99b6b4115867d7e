#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <utility>

#include "UiTest.h"
#include "app/AppBase.h"
#include "settings/ColorContrast.h"
#include "ui/CButtonST.h"
#include "ui/ColorRef.h"
#include "ui/UserPalette.h"

namespace {

QImage Render(const CButtonST& button, int state) {
  QImage image(button.size(), QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  button.DrawItem(painter, button.rect(), state);
  return image;
}

// A double click as the system delivers it: press, release, double click, release.
void DoubleClick(QWidget* widget) {
  QTest::mousePress(widget, Qt::LeftButton);
  QTest::mouseRelease(widget, Qt::LeftButton);
  QTest::mouseDClick(widget, Qt::LeftButton);
  QTest::mouseRelease(widget, Qt::LeftButton);
}

}  // namespace

class CButtonSTTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    m_host = std::make_unique<QWidget>();
    m_button = new CButtonST(m_host.get());
    m_button->setText(QStringLiteral("Completion Date:"));
    m_button->setGeometry(10, 10, 160, 28);
    m_host->resize(200, 60);
    m_host->show();
  }
  void TearDown() override {
    m_host.reset();
    UiTest::TearDown();
  }

  std::unique_ptr<QWidget> m_host;
  CButtonST* m_button = nullptr;
};

TEST_F(CButtonSTTest, CheckBoxToggles_DoubleClickCountsTwice) {
  m_button->SetCheckBoxMode(true);
  QSignalSpy clicks(m_button, &QAbstractButton::clicked);
  QTest::mouseClick(m_button, Qt::LeftButton);
  EXPECT_TRUE(m_button->GetCheckState());
  DoubleClick(m_button);
  EXPECT_EQ(clicks.count(), 3);
  EXPECT_TRUE(m_button->GetCheckState());  // on, off, on

  m_button->SetCheckState(false);
  EXPECT_FALSE(m_button->GetCheckState());
}

TEST_F(CButtonSTTest, PushButtonClicksTwiceOnDoubleClickAndHasNoCheckState) {
  QSignalSpy clicks(m_button, &QAbstractButton::clicked);
  DoubleClick(m_button);
  EXPECT_EQ(clicks.count(), 2);
  m_button->SetCheckState(true);
  EXPECT_FALSE(m_button->GetCheckState());
}

TEST_F(CButtonSTTest, StateColorIndexesAreChecked) {
  const int text = Settings().GetClrText();
  const int background = Settings().GetClrBackground();
  EXPECT_EQ(m_button->SetStateColor(6, 0x0000FF), CButtonST::kInvalidIndex);
  EXPECT_EQ(m_button->SetStateColor(-1, 0x0000FF), CButtonST::kInvalidIndex);
  for (int index : {0, 2, 4}) EXPECT_EQ(m_button->GetStateColor(index), background);
  for (int index : {1, 3, 5}) EXPECT_EQ(m_button->GetStateColor(index), text);

  EXPECT_EQ(m_button->SetStateColor(CButtonST::kColorFgIn, 0x0000FF), CButtonST::kOk);
  EXPECT_EQ(m_button->GetStateColor(1), 0x0000FF);
  m_button->ResetColors();
  EXPECT_EQ(m_button->GetStateColor(1), text);
}

TEST_F(CButtonSTTest, FocusIsMarkedOnFlatButtonsInTheBorderColour) {
  // Focus background like the normal one, so only frames can differ.
  m_button->SetStateColor(CButtonST::kColorBkFocus, m_button->GetStateColor(CButtonST::kColorBkOut));
  const QImage focused = Render(*m_button, CButtonST::kStateFocus);
  EXPECT_NE(focused, Render(*m_button, 0));
  const QRgb border = ColorFromRef(GetApp().GetSettings().GetClrBorder()).rgb();
  EXPECT_EQ(focused.pixel(1, focused.height() / 2), border);
  m_button->SetFlatStyle(false);
  EXPECT_NE(Render(*m_button, CButtonST::kStateFocus), Render(*m_button, 0));
}

TEST_F(CButtonSTTest, OnlyFlatButtonsTrackHover) {
  QTest::mouseMove(m_button, QPoint(20, 10));
  QMouseEvent over(QEvent::MouseMove, QPointF(20, 10), m_button->mapToGlobal(QPointF(20, 10)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(m_button, &over);
  EXPECT_TRUE(m_button->IsHover());
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(m_button, &leave);
  EXPECT_FALSE(m_button->IsHover());

  m_button->SetFlatStyle(false);
  QCoreApplication::sendEvent(m_button, &over);
  EXPECT_FALSE(m_button->IsHover());
}

TEST_F(CButtonSTTest, GreyOutIconIsAGreyCopyOfTheInIcon) {
  m_button->setText(QString());
  m_button->LoadButtonIcons(163, CButtonST::kGreyOutIcon);  // a green icon
  const QPoint onTheDisc = m_button->rect().center() + QPoint(6, 6);  // off the white cross
  const QColor out = Render(*m_button, 0).pixelColor(onTheDisc);
  EXPECT_EQ(out.red(), out.green());
  EXPECT_EQ(out.green(), out.blue());
  EXPECT_LT(out.red(), 200);
  const QColor in = Render(*m_button, CButtonST::kStateSelected).pixelColor(onTheDisc + QPoint(1, 1));
  EXPECT_GT(in.green(), in.red() + 40);
}

TEST_F(CButtonSTTest, FitToCaptionMakesRoomForCaptionAndIcon) {
  const QFont font(QStringLiteral("Liberation Serif"), 14);
  m_button->SetCaptionFont(&font);
  m_button->LoadButtonIcons(156, 158);
  const QPoint before = m_button->pos();
  m_button->FitToCaption();
  const QSize caption = QFontMetrics(font).size(0, m_button->text());
  EXPECT_EQ(m_button->width(), caption.width() + 10 + 16);
  EXPECT_EQ(m_button->height(), qMax(caption.height(), 16));
  EXPECT_EQ(m_button->pos(), before);
}

TEST_F(CButtonSTTest, TheDefaultButtonIsMarkedUntilAnotherPushButtonHasTheFocus) {
  auto* other = new CButtonST(m_host.get());
  other->setGeometry(10, 40, 60, 16);
  auto* box = new CButtonST(m_host.get());
  box->SetCheckBoxMode(true);
  box->setGeometry(80, 40, 60, 16);
  other->show();
  box->show();
  const QImage plain = Render(*m_button, 0);
  m_button->SetDefault(true);
  box->setFocus();
  const QImage marked = Render(*m_button, 0);
  EXPECT_NE(marked, plain) << "a check box with the focus leaves the mark";
  EXPECT_EQ(marked.pixel(0, marked.height() / 2), ColorFromRef(GetApp().GetSettings().GetClrBorder()).rgb());
  other->setFocus();
  EXPECT_EQ(Render(*m_button, 0), plain) << "another push button has the focus";

  // Return and Enter press the push button with the focus, not the default one.
  QSignalSpy otherClicks(other, &QAbstractButton::clicked);
  QSignalSpy defaultClicks(m_button, &QAbstractButton::clicked);
  QTest::keyClick(other, Qt::Key_Return);
  QTest::keyClick(other, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(otherClicks.count(), 2);
  EXPECT_EQ(defaultClicks.count(), 0);
  // A check box leaves Enter to its window.
  QSignalSpy boxClicks(box, &QAbstractButton::clicked);
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(boxClicks.count(), 0);
  EXPECT_FALSE(box->GetCheckState());
}

TEST(DisabledTextTest, GreyedTextIsBetweenTextAndBackgroundAndReadable) {
  const std::pair<QColor, QColor> sets[] = {
      {QColor(0x21, 0x25, 0x29), QColor(0xF6, 0xF3, 0xEE)},  // the light default
      {QColor(0xE8, 0xE8, 0xE0), QColor(0x20, 0x24, 0x28)},  // a dark set
      {QColor(0x90, 0x90, 0x90), QColor(0x30, 0x30, 0x30)},  // little contrast to start with
  };
  for (const auto& [text, background] : sets) {
    const QColor greyed = DisabledTextColor(text, background);
    const double readable = ContrastRatio(RefFromColor(greyed), RefFromColor(background));
    EXPECT_GE(readable, std::min(3.0, ContrastRatio(RefFromColor(text), RefFromColor(background))) - 0.01)
        << text.name().toStdString() << " on " << background.name().toStdString();
    EXPECT_LE(readable, ContrastRatio(RefFromColor(text), RefFromColor(background)) + 0.01) << "not louder than text";
  }
  EXPECT_NE(DisabledTextColor(QColor(0xE8, 0xE8, 0xE0), QColor(0x20, 0x24, 0x28)), QColor(0xE8, 0xE8, 0xE0))
      << "greyed text looks greyed where there is room";
}
