#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "UiTest.h"
#include "ui/CColorDateTimeCtrl.h"
#include "ui/TypedTime.h"

TEST(TypedTimeTest, TheUsualFormsGiveTheirTime) {
  const std::pair<const char*, QTime> forms[] = {
      {"5", QTime(5, 0)},         {"17", QTime(17, 0)},       {"17:30", QTime(17, 30)},   {"1730", QTime(17, 30)},
      {"530", QTime(5, 30)},      {"5:30 PM", QTime(17, 30)}, {"5.30pm", QTime(17, 30)},  {"5p", QTime(17, 0)},
      {"5:30 p.m.", QTime(17, 30)}, {"12 am", QTime(0, 0)},   {"12:15 PM", QTime(12, 15)}, {" 9:05am ", QTime(9, 5)},
      {"0:00", QTime(0, 0)},      {"5:3", QTime(5, 3)},       {"5:", QTime(5, 0)},
  };
  for (const auto& [typed, time] : forms) EXPECT_EQ(ParseTypedTime(QString::fromUtf8(typed)), time) << typed;
}

TEST(TypedTimeTest, WhatIsNoTimeGivesNothing) {
  for (const char* typed : {"", "24", "25:00", "5:60", "13 pm", "0 am", "x", "5:30 PX", "12345", ":30"}) {
    EXPECT_FALSE(ParseTypedTime(QString::fromUtf8(typed))) << typed;
  }
}

using TimeFieldTest = UiTest;

TEST_F(TimeFieldTest, KeysTypedInARowSetTheWholeTime) {
  CColorDateTimeCtrl field;
  field.setDisplayFormat(QStringLiteral("h:mm AP"));
  field.setTime(QTime(9, 41));
  field.show();
  field.setFocus();
  QTest::keyClicks(&field, QStringLiteral("5:30 pm"));
  EXPECT_EQ(field.time(), QTime(17, 30));
  for (int key = 0; key < 3; ++key) QTest::keyClick(&field, Qt::Key_Backspace);  // back to "5:30"
  EXPECT_EQ(field.time(), QTime(5, 30)) << "as far as it is typed";
  QTest::keyClick(&field, Qt::Key_Up);  // a key of the field's own ends the typing
  QTest::keyClicks(&field, QStringLiteral("7"));
  EXPECT_EQ(field.time(), QTime(7, 0));
}
