#include <QComboBox>
#include <QFontInfo>
#include <QLabel>

#include "UiTest.h"
#include "ui/ControlFactory.h"
#include "ui/DialogTemplate.h"
#include "ui/DlgBase.h"
#include "ui/DlgFontScaler.h"

using DlgFontScalerTest = UiTest;

// 8 points at 120 dpi is a 13-pixel font, whatever the screen's own resolution.
TEST_F(DlgFontScalerTest, TemplateFontIsMadeForTheFixedResolution) {
  const DialogTemplate* message = FindDialogTemplate(134);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(DlgFontScaler::TemplateFont(*message, 120.0).pixelSize(), 13);
  EXPECT_EQ(DlgFontScaler::TemplateFont(*message, 96.0).pixelSize(), 11);
  DialogTemplate nine = *message;
  nine.pointSize = 9;
  EXPECT_EQ(DlgFontScaler::TemplateFont(nine, 120.0).pixelSize(), 15);
}

TEST_F(DlgFontScalerTest, DialogUnitsRoundToTheNearestPixel) {
  // x: units * 7 / 4, y: units * 15 / 8, each rounded half up.
  EXPECT_EQ(DlgFontScaler::DialogUnitsToPixels(QRect(54, 66, 50, 14), {7, 15}), QRect(95, 124, 88, 26));
  EXPECT_EQ(DlgFontScaler::DialogUnitsToPixels(QRect(1, 1, 2, 3), {6, 13}), QRect(2, 2, 3, 5));
}

// The message dialog's template in its own font: the window and every control
// in pixels, measured once for the face the project installs.
TEST_F(DlgFontScalerTest, MessageTemplateLaysOutToKnownPixels) {
  DlgBase dialog(134);
  dialog.Create();
  const QFont* font = dialog.GetScaledDialogFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(QFontInfo(*font).pixelSize(), 13);
  if (QFontInfo(*font).family() != QLatin1String("Liberation Sans")) GTEST_SKIP() << "Liberation Sans is not installed";

  const DlgFontScaler::BaseUnits units = dialog.GetFontScaler().GetBaseUnits();
  EXPECT_EQ(units.x, 8);
  EXPECT_EQ(units.y, 15);
  EXPECT_EQ(dialog.size(), QSize(420, 167));                       // 210 x 89
  EXPECT_EQ(dialog.GetDlgItem(1096)->geometry(), QRect(60, 21, 330, 23));  // 30,11 165x12
  EXPECT_EQ(dialog.GetDlgItem(1081)->geometry(), QRect(78, 62, 86, 28));   // 39,33 43x15
  EXPECT_EQ(dialog.GetDlgItem(1)->geometry(), QRect(108, 124, 100, 26));   // 54,66 50x14
  EXPECT_EQ(dialog.GetDlgItem(2)->geometry(), QRect(208, 124, 100, 26));   // 104,66 50x14
  EXPECT_EQ(dialog.GetDlgItem(1)->font(), *font);
}

// A control missing from the window ends the walk: the ones after it keep
// their first places and font. Controls without a template item are never touched.
TEST_F(DlgFontScalerTest, WalkStopsAtMissingControlAndLeavesOthersAlone) {
  DlgBase dialog(134);
  delete dialog.GetDlgItem(1081);
  QWidget* yes = dialog.GetDlgItem(1);
  const QRect yesBefore = yes->geometry();
  auto* extra = new QLabel(QStringLiteral("made at run time"), &dialog);
  extra->setGeometry(1, 2, 30, 40);
  const QFont extraFont(QStringLiteral("Liberation Serif"), 11);
  extra->setFont(extraFont);

  dialog.Create();
  const QFont* font = dialog.GetScaledDialogFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(dialog.GetDlgItem(1096)->font(), *font);
  EXPECT_EQ(yes->geometry(), yesBefore);
  EXPECT_NE(yes->font(), *font);
  EXPECT_EQ(extra->geometry(), QRect(1, 2, 30, 40));
  EXPECT_EQ(extra->font(), extraFont);
}

// A combo box's template height is that of its open list; the closed box
// keeps the height its font needs.
TEST_F(DlgFontScalerTest, ComboBoxKeepsItsOwnHeight) {
  DlgBase dialog(116);
  dialog.Create();
  QWidget* combo = dialog.GetDlgItem(1005);
  ASSERT_TRUE(qobject_cast<QComboBox*>(combo));
  const DlgFontScaler::BaseUnits units = dialog.GetFontScaler().GetBaseUnits();
  EXPECT_EQ(combo->geometry().topLeft(), DlgFontScaler::DialogUnitsToPixels(QRect(135, 122, 78, 64), units).topLeft());
  EXPECT_EQ(combo->height(), combo->sizeHint().height());
  EXPECT_LT(combo->height(), 64 * units.y / 8);
}
