#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTextEdit>

#include "UiTest.h"
#include "app/Message.h"
#include "db/DBL.h"
#include "db/OleDate.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "reminders/DlgMissedReminders.h"
#include "reminders/DlgReminder.h"
#include "reminders/DueReminders.h"
#include "reminders/ReminderScan.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"

namespace {

class ReminderDialogTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetMessageHook([this](const std::string& text, int) {
      m_messages.push_back(text);
      return 1;
    });
    TaskRecord task;
    task.category_id = 1;
    task.priority_id = 1;
    task.name = "Pay rent";
    m_taskId = InsertTask(task);
    ASSERT_GT(m_taskId, 0);
    SetStoredWarning(99);
  }

  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<DlgReminder*>(w) || qobject_cast<DlgMissedReminders*>(w)) w->deleteLater();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetMessageHook(nullptr);
    UiTest::TearDown();
  }

  void SetStoredWarning(int warning) {
    ASSERT_EQ(DBL::ExecuteUpdate("update task set warning = " + DBL::IntToString(warning) +
                                 " where id = " + DBL::IntToString(m_taskId)),
              0);
  }

  int StoredWarning() const { return LoadTask(m_taskId).warning; }

  DlgReminder* Open(int minutesLeft) {
    auto* popup = new DlgReminder(nullptr, kReminderTask, m_taskId, minutesLeft, "Pay rent", "12/8/26 09:00 AM");
    popup->show();
    QCoreApplication::processEvents();
    return popup;
  }

  static QStringList Intervals(DlgReminder* popup) {
    auto* list = qobject_cast<CAutoCombo*>(popup->GetDlgItem(DlgReminder::kIdIntervals));
    QStringList labels;
    for (int i = 0; i < list->count(); ++i) labels << list->itemText(i);
    return labels;
  }

  template <class Popup = DlgReminder>
  static int VisiblePopups() {
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) visible += qobject_cast<Popup*>(w) && w->isVisible();
    return visible;
  }

  // A task due in five minutes with a ten-minute warning: due at the next scan.
  void MakeTaskDue() {
    const double inFiveMinutes = OleDate::Now() + 5.0 / 1440.0;
    ASSERT_EQ(DBL::ExecuteUpdate("update task set deadline = 1, deadline_time = 1, warning = 10, due_date = " +
                                 DBL::IntToString(OleDate::DayNumber(inFiveMinutes)) +
                                 ", due_time = " + DBL::RealToString(OleDate::TimeOfDay(inFiveMinutes)) +
                                 " where id = " + DBL::IntToString(m_taskId)),
              0);
  }

  static void Click(DlgReminder* popup, int id) {
    QWidget* control = popup->GetDlgItem(id);
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    QCoreApplication::processEvents();
  }

  static void ChooseInterval(DlgReminder* popup, const QString& label) {
    auto* list = qobject_cast<CAutoCombo*>(popup->GetDlgItem(DlgReminder::kIdIntervals));
    list->SelectItem(list->findText(label));
  }

  int m_taskId = 0;
  std::vector<std::string> m_messages;
};

}  // namespace

TEST_F(ReminderDialogTest, TheListOffersOnlyWarningsShorterThanTheTimeLeft) {
  EXPECT_EQ(Intervals(Open(44)), (QStringList{"No Warning", "5 min", "10 min", "15 min", "30 min"}));
  EXPECT_EQ(Intervals(Open(30)), (QStringList{"No Warning", "5 min", "10 min", "15 min"}));
  EXPECT_EQ(Intervals(Open(0)), QStringList{"No Warning"});
  EXPECT_EQ(Intervals(Open(10000)).size(), 18);
}

TEST_F(ReminderDialogTest, MessagesNameTheItemAndItsTime) {
  DlgReminder task(nullptr, kReminderTask, 1, 5, "Pay rent", "12/8/26 09:00 AM");
  EXPECT_EQ(task.GetMessageText(), "The Task \"Pay rent\" is due at \n\n12/8/26 09:00 AM");
  DlgReminder event(nullptr, kReminderEvent, 1, 5, "Dentist", "12/9/26 02:30 PM");
  EXPECT_EQ(event.GetMessageText(), "The Event \"Dentist\" is scheduled for 12/9/26 02:30 PM");
}

TEST_F(ReminderDialogTest, MissedRemindersSpeakOfThePast) {
  DlgReminder task(nullptr, kReminderTask, 1, -1, "Pay rent", "12/8/26 09:00 AM");
  EXPECT_EQ(task.GetMessageText(), "The Task \"Pay rent\" was due at \n\n12/8/26 09:00 AM");
  DlgReminder event(nullptr, kReminderEvent, 1, -3000, "Dentist", "12/9/26 02:30 PM");
  EXPECT_EQ(event.GetMessageText(), "The Event \"Dentist\" was scheduled for 12/9/26 02:30 PM");
  EXPECT_EQ(Intervals(Open(-1)), QStringList{"No Warning"}) << "no warning can fire for a moment gone by";

  const std::vector<DueReminder> missed{{kReminderTask, 1, -5, "Pay rent", "12/8/26 ", true},
                                        {kReminderEvent, 2, -1, "Dentist", "12/9/26 02:30 PM", true}};
  DlgMissedReminders summary(missed);
  summary.Create();
  EXPECT_EQ(summary.GetMessageText(), "You missed 2 reminders:");
  auto* list = qobject_cast<QTextEdit*>(summary.GetDlgItem(DlgMissedReminders::kIdList));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->toPlainText(),
            "The Task \"Pay rent\" was due at 12/8/26\nThe Event \"Dentist\" was scheduled for 12/9/26 02:30 PM");
  EXPECT_TRUE(list->isReadOnly());
}

TEST_F(ReminderDialogTest, UpToFiveMissedItemsGetAPopupEachMoreGetOneSummary) {
  SetStoredWarning(0);
  const double hourAgo = OleDate::Now() - 1.0 / 24;
  const auto addMissed = [hourAgo](int count) {
    for (int n = 0; n < count; ++n) {
      ASSERT_GT(InsertEvent(EventRecord{-1, static_cast<double>(OleDate::DayNumber(hourAgo)), 1,
                                        OleDate::TimeOfDay(hourAgo), "missed", "", 30}),
                0);
    }
  };
  addMissed(5);
  CatchUpMissedReminders();
  EXPECT_EQ(VisiblePopups(), 5);
  EXPECT_EQ(VisiblePopups<DlgMissedReminders>(), 0);
  CatchUpMissedReminders();
  EXPECT_EQ(VisiblePopups(), 5) << "each is caught up once";

  addMissed(6);
  CatchUpMissedReminders();
  EXPECT_EQ(VisiblePopups(), 5);
  EXPECT_EQ(VisiblePopups<DlgMissedReminders>(), 1);
}

TEST_F(ReminderDialogTest, ResetStoresTheChosenWarningAndClosesThePopup) {
  QPointer<DlgReminder> popup = Open(44);
  Click(popup, DlgReminder::kIdReset);
  ChooseInterval(popup, "15 min");
  Click(popup, DlgBase::kIdOk);
  EXPECT_EQ(StoredWarning(), 15);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(popup.isNull()) << "the pop-up deletes itself";

  SetStoredWarning(99);
  popup = Open(44);
  Click(popup, DlgReminder::kIdReset);
  ChooseInterval(popup, "No Warning");
  Click(popup, DlgBase::kIdOk);
  EXPECT_EQ(StoredWarning(), 0);
}

TEST_F(ReminderDialogTest, DismissWritesNothingEvenWhenTickedTwice) {
  DlgReminder* popup = Open(44);
  auto* dismiss = qobject_cast<CButtonST*>(popup->GetDlgItem(DlgReminder::kIdDismiss));
  auto* reset = qobject_cast<CButtonST*>(popup->GetDlgItem(DlgReminder::kIdReset));
  EXPECT_TRUE(dismiss->GetCheckState());
  EXPECT_FALSE(popup->GetDlgItem(DlgReminder::kIdIntervals)->isEnabled());

  Click(popup, DlgReminder::kIdReset);
  EXPECT_FALSE(dismiss->GetCheckState());
  EXPECT_TRUE(popup->GetDlgItem(DlgReminder::kIdIntervals)->isEnabled());
  Click(popup, DlgReminder::kIdDismiss);
  EXPECT_FALSE(reset->GetCheckState());
  Click(popup, DlgReminder::kIdDismiss);
  EXPECT_FALSE(dismiss->GetCheckState());
  EXPECT_FALSE(reset->GetCheckState());
  Click(popup, DlgBase::kIdOk);
  EXPECT_EQ(StoredWarning(), 99);
}

TEST_F(ReminderDialogTest, AFailedResetIsToldAndThePopupStays) {
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_update "
                               "before update on task begin select raise(abort, 'refused'); end"),
            0);
  QPointer<DlgReminder> popup = Open(44);
  Click(popup, DlgReminder::kIdReset);
  ChooseInterval(popup, "5 min");
  Click(popup, DlgBase::kIdOk);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_NE(m_messages[0].find("could not be saved"), std::string::npos);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(popup.isNull());
  EXPECT_TRUE(popup->isVisible());
}

TEST_F(ReminderDialogTest, TheScanOpensOnePopupPerDueItem) {
  EventRecord event;
  const double inFiveMinutes = OleDate::Now() + 5.0 / 1440.0;
  event.event_date = OleDate::DayNumber(inFiveMinutes);
  event.using_time = 1;
  event.event_time = OleDate::TimeOfDay(inFiveMinutes);
  event.title = "Dentist";
  event.warning = 10;
  ASSERT_GT(InsertEvent(event), 0);
  SetStoredWarning(0);

  ReminderScan();
  std::vector<DlgReminder*> popups;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* popup = qobject_cast<DlgReminder*>(w); popup && popup->isVisible()) popups.push_back(popup);
  }
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_NE(popups[0]->GetMessageText().indexOf("The Event \"Dentist\" is scheduled for "), -1);
  ReminderScan();
  EXPECT_EQ(VisiblePopups(), 1) << "a warning fires once";
}

TEST_F(ReminderDialogTest, AWarningThatCannotBeClearedKeepsOnePopupNotOneAMinute) {
  MakeTaskDue();
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_update "
                               "before update on task begin select raise(abort, 'refused'); end"),
            0);
  ReminderScan();
  ReminderScan();
  EXPECT_EQ(VisiblePopups(), 1);
  EXPECT_EQ(StoredWarning(), 10) << "still due: the reminder is not lost";
}
