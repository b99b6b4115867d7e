#include <gtest/gtest.h>

#include "UiTest.h"
#include "settings/DlgAppSettings.h"
#include "ui/CButtonST.h"
#include "ui/WindowCapabilities.h"

namespace {

bool AllowsAll(const WindowCapabilities& c) { return c.opacity && c.placement && c.stayOnTop; }
bool AllowsNone(const WindowCapabilities& c) { return !c.opacity && !c.placement && !c.stayOnTop; }

}  // namespace

// Every variant of Wayland leaves placement, stacking and opacity to the
// compositor; on X11 and the offscreen platform of these tests the program asks.
TEST(WindowCapabilitiesTest, WaylandLeavesWindowsToTheCompositor) {
  for (const char* name : {"wayland", "wayland-egl", "wayland-brcm"}) {
    EXPECT_TRUE(AllowsNone(WindowCapabilities::ForPlatform(QString::fromLatin1(name)))) << name;
  }
  for (const char* name : {"xcb", "offscreen"}) {
    EXPECT_TRUE(AllowsAll(WindowCapabilities::ForPlatform(QString::fromLatin1(name)))) << name;
  }
}

// Where the platform can do both, "stay on top" and translucency are offered
// as usual, without the reason a desktop that cannot do them gives.
class OfferedOptionsTest : public UiTest {};

TEST_F(OfferedOptionsTest, SettingsOfferWhatThePlatformCanDo) {
  ASSERT_TRUE(AllowsAll(WindowCapabilities::Current()));
  DlgAppSettings dialog(&Settings());
  dialog.Create();
  for (int id : {DlgAppSettings::kIdStayOnTop, DlgAppSettings::kIdTransparent}) {
    auto* box = qobject_cast<CButtonST*>(dialog.GetDlgItem(id));
    EXPECT_TRUE(box->isEnabled()) << id;
    EXPECT_TRUE(box->toolTip().isEmpty()) << id;
  }
}
