#include <QDateTimeEdit>
#include <QLineEdit>

#include "MainWindowTest.h"
#include "db/OleDate.h"
#include "editors/DlgAddEditAppt.h"
#include "editors/DlgAddEditTask.h"
#include "editors/DlgOccurrenceQuestion.h"
#include "editors/DlgRepeatCustom.h"
#include "records/Categories.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "records/UndoHistory.h"
#include "recurrence/Occurrences.h"
#include "recurrence/RepeatRules.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorListCtrl.h"
#include "ui/CColorStatic.h"
#include "ui/CMyMonthCalCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "views/DlgImpDates.h"

namespace {

constexpr int kDatesTab = 2;
// A Wednesday far from any day the tests run on.
const int kWednesday = OleDate::DayNumber(OleDate::FromParts({2031, 1, 8}));
const QString kMark = QString::fromUtf8(DlgImpDates::kRepeatMark);

enum Choice { kNever, kDaily, kWeekly, kMonthly, kYearly, kCustom };

CAutoCombo* RepeatBox(DlgBase& editor) { return qobject_cast<CAutoCombo*>(editor.GetDlgItem(DlgAddEditAppt::kIdRepeat)); }
QString RuleWords(DlgBase& editor) {
  return qobject_cast<CColorStatic*>(editor.GetDlgItem(DlgAddEditAppt::kIdRepeatWords))->text();
}
QLineEdit* Line(DlgBase& dialog, int id) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id)); }

int AddEvent(const std::string& title, int day, const std::string& rrule) {
  const int id = InsertEvent(EventRecord{-1, static_cast<double>(day), 1, 0.375, title, "", 0});
  EXPECT_GT(id, 0);
  if (!rrule.empty()) {
    EXPECT_EQ(SaveRepeatRule(kCategoryEvents, id, {rrule, {}, {}}), 0);
  }
  return id;
}

class RepeatsTest : public MainWindowTest {
 protected:
  DlgImpDates* DatesPage(int day) {
    CMyTabCtrl* tabs = m_window->GetTabCtrl();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kDatesTab).center());
    auto* page = static_cast<DlgImpDates*>(tabs->GetView(kDatesTab));
    ShowDay(page, day);
    return page;
  }

  static void ShowDay(DlgImpDates* page, int day) {
    const QDate date = OleDate::ToQDateTime(day).date();
    qobject_cast<CMyMonthCalCtrl*>(page->GetDlgItem(DlgImpDates::kIdCalendar))->setSelectedDate(date);
    QCoreApplication::processEvents();
  }

  static QStringList Titles(DlgImpDates* page) {
    QStringList titles;
    for (int row = 0; row < page->GetList()->GetItemCount(); ++row) titles << page->GetList()->GetItemText(row, 1);
    return titles;
  }

  static void Answer(int answer) {
    WhenModal<DlgOccurrenceQuestion>([answer](DlgOccurrenceQuestion& q) {
      const int button = answer == DlgOccurrenceQuestion::kAll ? int(DlgOccurrenceQuestion::kIdAll) : answer;
      Click(q.GetDlgItem(button));
    });
  }
};

}  // namespace

// The plain choices store their rule and say it in words; Custom opens its
// dialog, whose Cancel leaves the rule as it was.
TEST_F(RepeatsTest, ANewEventRepeatsAsChosen) {
  DlgAddEditAppt editor(true, kWednesday, -1);
  RunModal<DlgAddEditAppt>(editor, [](DlgAddEditAppt& e) {
    Line(e, DlgAddEditAppt::kIdName)->setText("Choir");
    RepeatBox(e)->SelectItem(kWeekly);
    EXPECT_EQ(RuleWords(e), "Every week on Wednesday");
    WhenModal<DlgRepeatCustom>([](DlgRepeatCustom& custom) {
      Line(custom, DlgRepeatCustom::kIdInterval)->setText("3");
      Click(custom.GetDlgItem(DlgBase::kIdCancel));
    });
    RepeatBox(e)->SelectItem(kCustom);
    EXPECT_EQ(RuleWords(e), "Every week on Wednesday") << "Cancel keeps the rule";
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  const std::vector<EventRecord> events = ListEvents(kWednesday);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(LoadRepeatRule(kCategoryEvents, events[0].id).rrule, "FREQ=WEEKLY");
}

TEST_F(RepeatsTest, CustomRuleIsBuiltFromTheDialog) {
  DlgAddEditAppt editor(true, kWednesday, -1);
  RunModal<DlgAddEditAppt>(editor, [](DlgAddEditAppt& e) {
    Line(e, DlgAddEditAppt::kIdName)->setText("Swim");
    WhenModal<DlgRepeatCustom>([](DlgRepeatCustom& custom) {
      Line(custom, DlgRepeatCustom::kIdInterval)->setText("2");
      Click(custom.GetDlgItem(DlgRepeatCustom::kIdFirstWeekday));  // Monday, beside the Wednesday ticked
      qobject_cast<CAutoCombo*>(custom.GetDlgItem(DlgRepeatCustom::kIdEnds))->SelectItem(2);  // after
      Line(custom, DlgRepeatCustom::kIdCount)->setText("6");
      EXPECT_EQ(qobject_cast<CColorStatic*>(custom.GetDlgItem(DlgRepeatCustom::kIdWords))->text(),
                "Every 2 weeks on Monday and Wednesday, 6 times");
      Click(custom.GetDlgItem(DlgBase::kIdOk));
    });
    RepeatBox(e)->SelectItem(kCustom);
    EXPECT_EQ(RuleWords(e), "Every 2 weeks on Monday and Wednesday, 6 times");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  const std::vector<EventRecord> events = ListEvents(kWednesday);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(LoadRepeatRule(kCategoryEvents, events[0].id).rrule, "FREQ=WEEKLY;COUNT=6;INTERVAL=2;BYDAY=MO,WE");
}

// Bad choices are refused with a reason, and nothing is stored.
TEST_F(RepeatsTest, UnusableRulesAreRefusedWithTheirReason) {
  DlgAddEditAppt editor(true, kWednesday, -1);
  RunModal<DlgAddEditAppt>(editor, [this](DlgAddEditAppt& e) {
    Line(e, DlgAddEditAppt::kIdName)->setText("Never happens");
    WhenModal<DlgRepeatCustom>([this](DlgRepeatCustom& custom) {
      Line(custom, DlgRepeatCustom::kIdInterval)->setText("");
      Click(custom.GetDlgItem(DlgBase::kIdOk));
      ASSERT_EQ(m_messages.size(), 1u);
      EXPECT_EQ(m_messages[0].first, "Please enter how often it repeats, from 1 to 999.");
      EXPECT_TRUE(custom.isVisible()) << "the dialog stays open with what was chosen";
      Line(custom, DlgRepeatCustom::kIdInterval)->setText("1");
      auto* ends = qobject_cast<CAutoCombo*>(custom.GetDlgItem(DlgRepeatCustom::kIdEnds));
      ends->SelectItem(1);  // on a date
      qobject_cast<QDateTimeEdit*>(custom.GetDlgItem(DlgRepeatCustom::kIdUntil))->setDate(QDate(2031, 1, 1));
      Click(custom.GetDlgItem(DlgBase::kIdOk));
      ASSERT_EQ(m_messages.size(), 2u);
      EXPECT_EQ(m_messages[1].first.rfind("The repeat ends before its first day", 0), 0u) << m_messages[1].first;
      Click(custom.GetDlgItem(DlgBase::kIdCancel));
    });
    RepeatBox(e)->SelectItem(kCustom);
    EXPECT_EQ(RuleWords(e), "");
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  EXPECT_TRUE(ListEvents(-1).empty());
}

// A rule the store's check refuses keeps the editor open, and stores no event either.
TEST_F(RepeatsTest, TheEditorSaysWhyTheStoreRefusesARule) {
  const int id = AddEvent("Imported", kWednesday, "FREQ=DAILY;COUNT=3");
  ASSERT_EQ(SaveRepeatRule(kCategoryEvents, id, {"FREQ=DAILY;UNTIL=20300101", {}, {}}), 0);
  DlgAddEditAppt editor(false, 0, id);
  const int result = RunModal<DlgAddEditAppt>(editor, [this](DlgAddEditAppt& e) {
    EXPECT_EQ(RepeatBox(e)->GetSelectedItem(), kCustom) << "a rule of its own shows as Custom";
    Line(e, DlgAddEditAppt::kIdName)->setText("Imported, renamed");
    Click(e.GetDlgItem(DlgBase::kIdOk));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_FALSE(m_messages[0].first.empty());
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  EXPECT_EQ(result, DlgBase::kIdCancel);
  EXPECT_EQ(LoadEvent(id).title, "Imported") << "nothing written";
}

// Editing an occurrence asks; Cancel stays in the editor, "This One" makes
// the occurrence an event of its own, "All of Them" changes the series.
TEST_F(RepeatsTest, AnEditedOccurrenceIsForItselfOrForAll) {
  const int series = AddEvent("Standup", kWednesday, "FREQ=DAILY");
  const int thursday = kWednesday + 1;
  DlgImpDates* page = DatesPage(thursday);
  ASSERT_EQ(Titles(page), QStringList{"Standup " + kMark});

  WhenModal<DlgAddEditAppt>([this](DlgAddEditAppt& e) {
    EXPECT_EQ(e.windowTitle(), QString::fromStdString("Edit Event for " + OleDate::ShortDateText(kWednesday + 1)));
    Line(e, DlgAddEditAppt::kIdName)->setText("Standup, moved room");
    Answer(DlgOccurrenceQuestion::kCancel);
    Click(e.GetDlgItem(DlgBase::kIdOk));
    EXPECT_TRUE(e.isVisible()) << "Cancel goes back to the editor";
    Answer(DlgOccurrenceQuestion::kThisOne);
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  page->OnEditItem();
  EXPECT_EQ(Titles(page), QStringList{"Standup, moved room"}) << "the day's occurrence is now an event of its own";
  EXPECT_EQ(LoadEvent(series).title, "Standup");
  EXPECT_EQ(ListEvents(-1).size(), 2u);
  ShowDay(page, thursday + 1);
  EXPECT_EQ(Titles(page), QStringList{"Standup " + kMark}) << "the other days keep the series";

  // Undo takes the occurrence of its own away and gives the day back to the series.
  ASSERT_EQ(UndoHistory::Program().Undo(), 0);
  ShowDay(page, thursday);
  EXPECT_EQ(Titles(page), QStringList{"Standup " + kMark});
  EXPECT_EQ(ListEvents(-1).size(), 1u);
  ASSERT_EQ(UndoHistory::Program().Redo(), 0);
  page->RefreshList();
  EXPECT_EQ(Titles(page), QStringList{"Standup, moved room"});
  EXPECT_EQ(ListEvents(-1).size(), 2u);
  ShowDay(page, thursday + 1);

  WhenModal<DlgAddEditAppt>([](DlgAddEditAppt& e) {
    Line(e, DlgAddEditAppt::kIdName)->setText("Daily standup");
    Answer(DlgOccurrenceQuestion::kAll);
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  page->OnEditItem();
  EXPECT_EQ(Titles(page), QStringList{"Daily standup " + kMark});
  EXPECT_EQ(LoadEvent(series).event_date, kWednesday) << "the series keeps its first day";
  ShowDay(page, thursday);
  EXPECT_EQ(Titles(page), QStringList{"Standup, moved room"});
}

// The day lists its events first and then the tasks due, in priority colours;
// Edit on a task row opens the task editor, Delete asks about a task.
TEST_F(RepeatsTest, TheDayListsTasksDueBelowItsEvents) {
  TaskRecord task;
  task.category_id = ListCategories(kCategoryTasks).at(0).id;
  task.priority_id = 1;
  task.name = "Pay rent";
  task.deadline = 1;
  task.due_date = kWednesday;
  ASSERT_GT(InsertTask(task), 0);
  AddEvent("Dentist", kWednesday, "");
  DlgImpDates* page = DatesPage(kWednesday);
  ASSERT_EQ(Titles(page), (QStringList{"Dentist", "Pay rent"}));
  EXPECT_EQ(page->GetList()->GetItemText(1, 0), "All Day");
  CColorListCtrl* list = page->GetList();
  EXPECT_EQ(list->GetCellLook(1, 1, false).bkColor, Settings().GetClrHiPrior());
  EXPECT_NE(list->GetCellLook(0, 1, false).bkColor, Settings().GetClrHiPrior()) << "events keep the list's colours";

  list->SelectRow(1);
  WhenModal<DlgAddEditTask>([](DlgAddEditTask& e) {
    EXPECT_EQ(e.windowTitle(), "Edit Task");
    Line(e, DlgAddEditTask::kIdName)->setText("Pay the rent");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  page->OnEditItem();
  EXPECT_EQ(Titles(page), (QStringList{"Dentist", "Pay the rent"}));

  list->SelectRow(1);
  m_messages.clear();
  m_answer = 2;  // No
  page->OnDeleteItems();
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].first, "Are you sure you want to delete this Task?");
  EXPECT_EQ(ListTasks().size(), 1u);
}

// The days of the shown month that hold anything are bold, repeats included.
TEST_F(RepeatsTest, BoldDaysFollowTheShownMonthAndItsChanges) {
  AddEvent("Choir", kWednesday, "FREQ=WEEKLY;COUNT=3");
  DlgImpDates* page = DatesPage(kWednesday);
  auto* calendar = qobject_cast<CMyMonthCalCtrl*>(page->GetDlgItem(DlgImpDates::kIdCalendar));
  const auto bold = [calendar](int day) { return calendar->dateTextFormat(QDate(2031, 1, day)).fontWeight() == QFont::Bold; };
  EXPECT_TRUE(bold(8) && bold(15) && bold(22));
  EXPECT_FALSE(bold(29) || bold(9)) << "after its third time, and on no other day";
  EXPECT_EQ(calendar->accessibleDescription(), "Days with items: 8, 15, 22");

  Answer(DlgOccurrenceQuestion::kThisOne);
  ShowDay(page, kWednesday + 7);
  page->GetList()->SelectRow(0);
  page->OnDeleteItems();
  EXPECT_EQ(calendar->accessibleDescription(), "Days with items: 8, 22");
  EXPECT_EQ(LoadRepeatRule(kCategoryEvents, ListEvents(-1).at(0).id).excludedDays, std::vector<int>{kWednesday + 7});

  calendar->setCurrentPage(2031, 2);
  EXPECT_EQ(calendar->accessibleDescription(), "") << "nothing in February";
}

// Ticking a repeating task moves it on; its last occurrence completes it.
TEST_F(RepeatsTest, TickingARepeatingTaskMovesItOnUntilItsLast) {
  TaskRecord task;
  task.category_id = ListCategories(kCategoryTasks).at(0).id;
  task.priority_id = 2;
  task.name = "Water plants";
  task.deadline = 1;
  task.due_date = kWednesday;
  const int id = InsertTask(task);
  ASSERT_EQ(SaveRepeatRule(kCategoryTasks, id, {"FREQ=DAILY;COUNT=2", {}, {}}), 0);
  CMyTabCtrl* tabs = m_window->GetTabCtrl();
  auto* page = static_cast<DlgRecordView*>(tabs->GetView(0));
  page->RefreshList();
  CColorListCtrl* list = page->GetList();
  ASSERT_EQ(list->GetItemCount(), 1);

  list->SetCheck(0, true);  // as the check box's click does
  QCoreApplication::processEvents();
  EXPECT_EQ(LoadTask(id).due_date, kWednesday + 1);
  EXPECT_EQ(LoadTask(id).completed, 0);
  EXPECT_EQ(list->GetCheck(0), 0) << "to do again, on its next day";

  list->SetCheck(0, true);
  QCoreApplication::processEvents();
  EXPECT_EQ(LoadTask(id).completed, 1) << "the last occurrence completes it";
  EXPECT_EQ(list->GetCheck(0), 1);
}
