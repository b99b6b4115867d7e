#include <gtest/gtest.h>

#include "db/DBL.h"
#include "db/OleDate.h"

using OleDate::Parts;

TEST(OleDateTest, KnownDatesAndTimes) {
  EXPECT_DOUBLE_EQ(OleDate::FromParts({1899, 12, 30}), 0.0);
  EXPECT_DOUBLE_EQ(OleDate::FromParts({2008, 1, 1}), 39448.0);
  EXPECT_EQ(DBL::RealToString(OleDate::FromParts({2008, 1, 1, 13, 0, 0})), "39448.541667");
  EXPECT_EQ(DBL::RealToString(OleDate::TimeOfDay(OleDate::FromParts({2008, 1, 1, 13, 30, 0}))), "0.562500");
  EXPECT_EQ(OleDate::DayNumber(39448.999), 39448);
  EXPECT_DOUBLE_EQ(OleDate::FromParts({1899, 12, 29, 6, 0, 0}), -1.25);  // before the epoch
}

TEST(OleDateTest, PartsSurviveTheRoundTripToTheSecond) {
  for (const Parts p : {Parts{2026, 12, 8, 23, 59, 59}, Parts{2000, 2, 29, 0, 0, 1}, Parts{1899, 12, 29, 6, 0, 0},
                        Parts{2038, 1, 19, 3, 14, 8}}) {
    const Parts back = OleDate::ToParts(OleDate::FromParts(p));
    EXPECT_EQ(std::tie(back.year, back.month, back.day, back.hour, back.minute, back.second),
              std::tie(p.year, p.month, p.day, p.hour, p.minute, p.second));
  }
  // A time stored with six decimals still reads back as the minute it was.
  const Parts stored = OleDate::ToParts(std::strtod("39448.541667", nullptr));
  EXPECT_EQ(stored.hour, 13);
  EXPECT_EQ(stored.minute, 0);
  EXPECT_EQ(stored.second, 0);
  // Just before midnight rounds up into the next day, not to hour 24.
  const Parts late = OleDate::ToParts(39448.0 + 86399.7 / 86400.0);
  EXPECT_EQ(late.day, 2);
  EXPECT_EQ(late.hour, 0);
}

TEST(OleDateTest, NowIsInWholeSeconds) {
  const double now = OleDate::Now();
  const double seconds = OleDate::TimeOfDay(now) * 86400.0;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
  EXPECT_GT(now, OleDate::FromParts({2020, 1, 1}));
}

TEST(OleDateTest, TimeTextUsesTwelveHourClock) {
  EXPECT_EQ(OleDate::TimeText(OleDate::FromParts({2008, 1, 1, 13, 5, 0})), "01:05 PM");
  EXPECT_EQ(OleDate::TimeText(OleDate::FromParts({2008, 1, 1, 0, 0, 0})), "12:00 AM");
  EXPECT_EQ(OleDate::TimeText(OleDate::FromParts({2008, 1, 1, 12, 30, 0})), "12:30 PM");
  EXPECT_FALSE(OleDate::ShortDateText(39448.5).empty());
}
