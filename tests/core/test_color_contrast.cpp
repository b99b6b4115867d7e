#include <gtest/gtest.h>

#include "settings/ColorContrast.h"

TEST(ColorContrast, FollowsTheAccessibilityGuidelinesFigures) {
  EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9) << "either way round";
  EXPECT_NEAR(ContrastRatio(0x336699, 0x336699), 1.0, 1e-9);
  // #767676 is the lightest grey that reads on white at 4.5 : 1.
  EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);
  // Green weighs most and blue least: the byte order is red low, blue high.
  EXPECT_NEAR(ContrastRatio(0x00FF00, 0x000000), 15.3, 0.05);
  EXPECT_NEAR(ContrastRatio(0xFF0000, 0x000000), 2.44, 0.01);
  EXPECT_NEAR(ContrastRatio(0x0000FF, 0x000000), 5.25, 0.01);
}

TEST(ColorContrast, TheDefaultColoursReadAndCloseOnesDoNot) {
  const int text = 2696481;
  for (int background : {15660278, 16047564, 11065000, 9228021, 10724338}) {
    EXPECT_FALSE(IsHardToRead(text, background)) << background;
  }
  EXPECT_TRUE(IsHardToRead(0x505050, 0x000000));   // about 2.6 : 1
  EXPECT_FALSE(IsHardToRead(0x606060, 0x000000));  // about 3.3 : 1
  EXPECT_TRUE(IsHardToRead(0xABCDEF, 0xABCDEF));
}
