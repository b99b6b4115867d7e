#include <gtest/gtest.h>

#include "db/OleDate.h"
#include "editors/RepeatForm.h"
#include "recurrence/RuleWords.h"

namespace {

int Day(int year, int month, int day) { return OleDate::DayNumber(OleDate::FromParts({year, month, day})); }

std::string Words(const std::string& rrule, int firstDay) { return DescribeRepeatRule({rrule, {}, {}}, firstDay); }

}  // namespace

TEST(RuleWordsTest, EachFrequencyInWords) {
  const int wednesday = Day(2026, 12, 9);
  EXPECT_EQ(Words("", wednesday), "");
  EXPECT_EQ(Words("FREQ=DAILY", wednesday), "Every day");
  EXPECT_EQ(Words("FREQ=DAILY;INTERVAL=3", wednesday), "Every 3 days");
  EXPECT_EQ(Words("FREQ=WEEKLY", wednesday), "Every week on Wednesday");
  EXPECT_EQ(Words("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;UNTIL=20270331", wednesday),
            "Every 2 weeks on Monday and Wednesday, until 31 Mar 2027");
  EXPECT_EQ(Words("FREQ=WEEKLY;BYDAY=MO,WE,FR", wednesday), "Every week on Monday, Wednesday and Friday");
  EXPECT_EQ(Words("FREQ=MONTHLY", wednesday), "Every month on day 9");
  EXPECT_EQ(Words("FREQ=MONTHLY;BYDAY=2WE", wednesday), "Every month on the second Wednesday");
  EXPECT_EQ(Words("FREQ=MONTHLY;BYDAY=-1FR", wednesday), "Every month on the last Friday");
  EXPECT_EQ(Words("FREQ=MONTHLY;BYMONTHDAY=-1", wednesday), "Every month on the last day");
  EXPECT_EQ(Words("FREQ=YEARLY", wednesday), "Every year on 9 Dec");
  EXPECT_EQ(Words("FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", wednesday), "Every year on 29 Feb");
  EXPECT_EQ(Words("FREQ=SECONDLY;COUNT=1000000000", wednesday), "Every second, 1000000000 times");
  EXPECT_EQ(Words("FREQ=DAILY;BYDAY=MO,TU", wednesday), "Every day on Monday and Tuesday");
}

TEST(RuleWordsTest, EndsAndExceptions) {
  const int first = Day(2026, 12, 9);
  EXPECT_EQ(Words("FREQ=DAILY;COUNT=10", first), "Every day, 10 times");
  EXPECT_EQ(Words("FREQ=DAILY;COUNT=1", first), "Every day, once");
  // A date-time end reads as its day.
  EXPECT_EQ(Words("FREQ=DAILY;UNTIL=20270101T235959Z", first), "Every day, until 1 Jan 2027");
  EXPECT_EQ(DescribeRepeatRule({"FREQ=WEEKLY", {first + 7}, {}}, first), "Every week on Wednesday, except 1 day");
  EXPECT_EQ(DescribeRepeatRule({"FREQ=WEEKLY", {first + 7, first + 14}, {first + 1}}, first),
            "Every week on Wednesday, except 2 days, and on 1 more day");
  // Words never stand in for a rule that is not one.
  EXPECT_EQ(Words("NOT A RULE", first), "Repeats by a rule that cannot be read");
}

// The editor's choices go to RRULE text and come back as the same choices.
TEST(RepeatFormTest, ChoicesSurviveTheRoundTrip) {
  const int wednesday = Day(2026, 12, 9);  // the second Wednesday of December
  const int lastWednesday = Day(2026, 12, 30);
  struct Case {
    RepeatForm form;
    int firstDay;
    const char* rrule;
  };
  RepeatForm weekly{RepeatForm::kWeekly, 2, 0b0000101};  // Monday and Wednesday
  weekly.ending = RepeatForm::kUntilDay;
  weekly.untilDay = Day(2027, 3, 31);
  RepeatForm nth{RepeatForm::kMonthly};
  nth.monthlyOn = RepeatForm::kNthWeekday;
  RepeatForm last{RepeatForm::kMonthly};
  last.monthlyOn = RepeatForm::kLastWeekday;
  RepeatForm counted{RepeatForm::kDaily};
  counted.ending = RepeatForm::kCount;
  counted.count = 10;
  const Case cases[] = {
      {RepeatForm{}, wednesday, ""},
      {RepeatForm{RepeatForm::kDaily}, wednesday, "FREQ=DAILY"},
      {counted, wednesday, "FREQ=DAILY;COUNT=10"},
      {weekly, wednesday, "FREQ=WEEKLY;UNTIL=20270331;INTERVAL=2;BYDAY=MO,WE"},
      {nth, wednesday, "FREQ=MONTHLY;BYDAY=2WE"},
      {last, lastWednesday, "FREQ=MONTHLY;BYDAY=-1WE"},
      {RepeatForm{RepeatForm::kYearly, 4}, wednesday, "FREQ=YEARLY;INTERVAL=4"},
  };
  for (const Case& c : cases) {
    const std::string rrule = RepeatRuleText(c.form, c.firstDay);
    EXPECT_EQ(rrule, c.rrule);
    const std::optional<RepeatForm> back = RepeatFormOf(rrule);
    ASSERT_TRUE(back.has_value()) << rrule;
    EXPECT_EQ(*back, c.form) << rrule;
  }
}

// Rules brought in from files that the choices cannot show are left alone, not simplified.
TEST(RepeatFormTest, RulesOfOtherShapesHaveNoForm) {
  for (const char* rrule : {"FREQ=HOURLY", "FREQ=YEARLY;BYMONTH=1,7", "FREQ=MONTHLY;BYDAY=MO,TU",
                            "FREQ=MONTHLY;BYDAY=MO;BYSETPOS=-1", "FREQ=WEEKLY;BYDAY=1MO", "garbage"}) {
    EXPECT_FALSE(RepeatFormOf(rrule).has_value()) << rrule;
  }
}

TEST(RepeatFormTest, WeekdayHelpersAtMonthEnds) {
  EXPECT_EQ(WeekdayOfDay(Day(2026, 12, 7)), 0);  // a Monday
  EXPECT_EQ(WeekdayOfDay(Day(2026, 12, 13)), 6);
  EXPECT_EQ(WeekOfMonth(Day(2026, 12, 7)), 1);
  EXPECT_EQ(WeekOfMonth(Day(2026, 12, 29)), 5);
  // 29 February 2028 is a Tuesday: the 22nd is not the last Tuesday, the 23rd is the last Wednesday.
  EXPECT_TRUE(IsLastWeekdayOfMonth(Day(2028, 2, 23)));
  EXPECT_FALSE(IsLastWeekdayOfMonth(Day(2028, 2, 22)));
  EXPECT_TRUE(IsLastWeekdayOfMonth(Day(2028, 2, 29)));
}
