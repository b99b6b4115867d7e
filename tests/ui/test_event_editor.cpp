#include <QDateTimeEdit>
#include <QLineEdit>
#include <QLocale>

#include "EditorTest.h"
#include "db/DBL.h"
#include "db/OleDate.h"
#include "editors/DlgAddEditAppt.h"
#include "records/Events.h"
#include "reminders/WarningIntervals.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

using Editor = DlgAddEditAppt;

QLineEdit* NameEdit(Editor& e) { return qobject_cast<QLineEdit*>(e.GetDlgItem(Editor::kIdName)); }
QDateTimeEdit* TimePicker(Editor& e) { return qobject_cast<QDateTimeEdit*>(e.GetDlgItem(Editor::kIdTime)); }
CAutoCombo* Warning(Editor& e) { return qobject_cast<CAutoCombo*>(e.GetDlgItem(Editor::kIdWarning)); }
CButtonST* HasTime(Editor& e) { return qobject_cast<CButtonST*>(e.GetDlgItem(Editor::kIdHasTime)); }
CMyRichEditCtrl* Note(Editor& e) { return qobject_cast<CMyRichEditCtrl*>(e.GetDlgItem(Editor::kIdNote)); }

std::string DateText(int year, int month, int day) {
  return QLocale::system().toString(QDate(year, month, day), QLocale::ShortFormat).toStdString();
}

int CountEvents() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select count(*) as num from event");
  return rows.Next() ? rows.GetInt("num") : -1;
}

int LastEventId() {
  DBL::MemResultSet rows = DBL::ExecuteQuery("select max(id) as id from event");
  return rows.Next() ? rows.GetInt("id") : -1;
}

class EventEditorTest : public EditorTest {
 protected:
  static void Save(Editor& e) { Click(e.GetDlgItem(DlgBase::kIdOk)); }

  static int AddEvent(int day, int usingTime, double time, int warning, const std::string& title = "Dentist") {
    EventRecord event;
    event.event_date = day;
    event.using_time = usingTime;
    event.event_time = time;
    event.warning = warning;
    event.title = title;
    const int id = InsertEvent(event);
    EXPECT_GT(id, 0);
    return id;
  }

  // Runs a new-event editor on the day, letting `act` fill it in before Save.
  static int AddThroughEditor(double day, std::function<void(Editor&)> act) {
    Editor editor(true, day, -1);
    const int result = RunModal<Editor>(editor, [&](Editor& e) {
      act(e);
      Save(e);
    });
    EXPECT_EQ(result, DlgBase::kIdOk);
    return LastEventId();
  }

  const double m_day = OleDate::FromParts({2026, 12, 24});
};

}  // namespace

TEST_F(EventEditorTest, ANewEventOffersEveryWarningAndStartsAllDay) {
  Editor editor(true, OleDate::FromParts({2008, 1, 1}), -1);
  editor.Create();
  EXPECT_EQ(editor.windowTitle().toStdString(), "Schedule Event for " + DateText(2008, 1, 1));
  EXPECT_EQ(HasTime(editor)->text(), "Set Event Time:");
  CAutoCombo* warning = Warning(editor);
  ASSERT_EQ(warning->count(), static_cast<int>(kWarningIntervals.size()));
  for (int i = 0; i < warning->count(); ++i) {
    EXPECT_EQ(warning->itemText(i).toStdString(), kWarningIntervals[static_cast<size_t>(i)].label);
    EXPECT_EQ(warning->GetItemValue(i), kWarningIntervals[static_cast<size_t>(i)].minutes);
  }
  EXPECT_EQ(warning->currentText(), "No Warning");

  editor.show();
  QWidget* allDay = editor.GetDlgItem(Editor::kIdAllDay);
  EXPECT_FALSE(TimePicker(editor)->isVisible());
  EXPECT_TRUE(allDay->isVisible());
  Click(HasTime(editor));
  EXPECT_TRUE(TimePicker(editor)->isVisible());
  EXPECT_TRUE(TimePicker(editor)->isEnabled());
  EXPECT_FALSE(allDay->isVisible());
  Click(HasTime(editor));
  EXPECT_FALSE(TimePicker(editor)->isVisible());
  EXPECT_FALSE(TimePicker(editor)->isEnabled());
  EXPECT_TRUE(allDay->isVisible());
  editor.hide();
}

TEST_F(EventEditorTest, AnAllDayEventStoresNoTimeWhateverTheHiddenPickerHolds) {
  const int id = AddThroughEditor(m_day + 0.75, [](Editor& e) {
    TimePicker(e)->setTime(QTime(15, 20));
    QTest::keyClicks(NameEdit(e), "Christmas Eve");
  });
  const EventRecord event = LoadEvent(id);
  EXPECT_EQ(event.event_date, OleDate::DayNumber(m_day)) << "the day alone";
  EXPECT_EQ(event.using_time, 0);
  EXPECT_EQ(event.event_time, 0);
  EXPECT_EQ(event.title, "Christmas Eve");
  EXPECT_EQ(event.warning, 0);
}

// Set section by section, as a person types it: no hidden seconds come along.
TEST_F(EventEditorTest, OnePmTypedIntoThePickerIsStoredAsExactlyOnePm) {
  std::vector<std::string> statements;
  const int id = AddThroughEditor(m_day, [&statements](Editor& e) {
    Click(HasTime(e));
    QDateTimeEdit* picker = TimePicker(e);
    picker->setFocus();
    for (const auto& [section, keys] : {std::pair{QDateTimeEdit::HourSection, "1"},
                                        {QDateTimeEdit::MinuteSection, "00"}, {QDateTimeEdit::AmPmSection, "PM"}}) {
      picker->setSelectedSection(section);
      QTest::keyClicks(picker, keys);
    }
    EXPECT_EQ(picker->text(), "1:00 PM");
    QTest::keyClicks(NameEdit(e), "Lunch");
    Warning(e)->SelectItem(Warning(e)->findText("30 min"));
    DBL::SetStatementObserver([&statements](const std::string& sql) { statements.push_back(sql); });
  });
  DBL::SetStatementObserver(nullptr);
  ASSERT_FALSE(statements.empty());
  EXPECT_NE(statements[0].find("0.541667"), std::string::npos) << statements[0];
  const EventRecord event = LoadEvent(id);
  EXPECT_EQ(event.event_date, OleDate::DayNumber(m_day)) << "not the picker's own day";
  EXPECT_EQ(event.using_time, 1);
  EXPECT_NEAR(event.event_time, 13 / 24.0, 1e-6);
  EXPECT_EQ(event.warning, 30);
}

TEST_F(EventEditorTest, AnEditShowsTheEventAndKeepsItsDay) {
  const int day = OleDate::DayNumber(m_day);
  const int id = AddEvent(day, 1, 0.5625, 60);
  ASSERT_EQ(DBL::ExecuteUpdate("update event set note = 'bring the card' where id = " + DBL::IntToString(id)), 0);
  Editor editor(false, 0, id);  // the view passes an empty date
  const int result = RunModal<Editor>(editor, [&](Editor& e) {
    EXPECT_EQ(e.windowTitle().toStdString(), "Edit Event for " + DateText(2026, 12, 24));
    EXPECT_EQ(NameEdit(e)->text(), "Dentist");
    EXPECT_EQ(Note(e)->toPlainText(), "bring the card");
    EXPECT_TRUE(HasTime(e)->GetCheckState());
    EXPECT_TRUE(TimePicker(e)->isVisible());
    EXPECT_EQ(TimePicker(e)->text(), "1:30 PM");
    EXPECT_EQ(Warning(e)->currentText(), "1 hr");
    NameEdit(e)->setText("Dentist, moved");
    Click(HasTime(e));
    Save(e);
  });
  ASSERT_EQ(result, DlgBase::kIdOk);
  EXPECT_EQ(CountEvents(), 1) << "changed, not added";
  const EventRecord event = LoadEvent(id);
  EXPECT_EQ(event.event_date, day);
  EXPECT_EQ(event.title, "Dentist, moved");
  EXPECT_EQ(event.using_time, 0);
  EXPECT_EQ(event.event_time, 0) << "clearing the time box clears the time";
  EXPECT_EQ(event.warning, 60);
  EXPECT_EQ(event.note, "bring the card");
}

TEST_F(EventEditorTest, AWarningOfNoEntryIsShownAsNoneAndSavedAsNoWarning) {
  const int id = AddEvent(OleDate::DayNumber(m_day), 0, 0, 7);
  Editor editor(false, 0, id);
  RunModal<Editor>(editor, [](Editor& e) {
    EXPECT_EQ(Warning(e)->currentIndex(), -1);
    Save(e);
  });
  EXPECT_EQ(LoadEvent(id).warning, 0);
}

TEST_F(EventEditorTest, AnEmptyNameIsRefusedAndTheEditorStays) {
  Editor editor(true, m_day, -1);
  const int result = RunModal<Editor>(editor, [](Editor& e) {
    Save(e);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(CountEvents(), 0);
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  EXPECT_EQ(result, DlgBase::kIdCancel);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], std::make_pair(std::string("Please enter Event name."), int(kMessageNotice)));
  EXPECT_EQ(CountEvents(), 0);
}

TEST_F(EventEditorTest, AFailedWriteIsToldAndKeepsEverythingTyped) {
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_insert before "
                               "insert on event begin select raise(abort, 'refused'); end"),
            0);
  Editor editor(true, m_day, -1);
  RunModal<Editor>(editor, [](Editor& e) {
    NameEdit(e)->setText("Concert");
    Note(e)->setPlainText("row 12\nseat 7");
    Save(e);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(NameEdit(e)->text(), "Concert");
    EXPECT_EQ(Note(e)->StoredText(), "row 12\nseat 7");
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].first.rfind("The Event \"Concert\" was not saved: ", 0), 0u) << m_messages[0].first;
  EXPECT_EQ(m_messages[0].second, kMessageOkNotice);

  // An event deleted while it was being edited cannot be saved either.
  ASSERT_EQ(DBL::ExecuteUpdate("update settings set note_sort = 0; drop trigger no_insert"), 0);
  const int id = AddEvent(OleDate::DayNumber(m_day), 0, 0, 0);
  Editor edit(false, 0, id);
  RunModal<Editor>(edit, [id](Editor& e) {
    EXPECT_EQ(DeleteEvent(id), 0);
    Save(e);
    EXPECT_TRUE(e.isVisible()) << "nothing was written";
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  EXPECT_EQ(m_messages.size(), 2u);
}

TEST_F(EventEditorTest, AwkwardTextComesBackExactly) {
  const QString title = QString::fromUtf8("O'Brien's \"big\" 🎉 会議 مرحبا");
  const QString note = QString::fromUtf8("line one\r\nline two\r\n\r\n'quoted' \"twice\" שלום");
  const int id = AddThroughEditor(m_day, [&](Editor& e) {
    NameEdit(e)->setText(title);
    Note(e)->SetStoredText(note);
  });
  const EventRecord event = LoadEvent(id);
  EXPECT_EQ(QString::fromStdString(event.title), title);
  EXPECT_EQ(QString::fromStdString(event.note), note);
  Editor editor(false, 0, id);
  RunModal<Editor>(editor, [&](Editor& e) {
    EXPECT_EQ(NameEdit(e)->text(), title);
    Save(e);  // unchanged
  });
  EXPECT_EQ(QString::fromStdString(LoadEvent(id).note), note) << "the CR/LF breaks survive a save";
}

TEST_F(EventEditorTest, ControlsCarryNamesForAssistiveTools) {
  Editor editor(true, m_day, -1);
  editor.Create();
  const std::pair<int, const char*> names[] = {
      {Editor::kIdName, "Event name"}, {Editor::kIdHasTime, "Set Event Time"}, {Editor::kIdTime, "Event time"},
      {Editor::kIdWarning, "Warning"}, {Editor::kIdNote, "Note"},             {DlgBase::kIdOk, "Save"},
      {DlgBase::kIdCancel, "Cancel"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(editor.GetDlgItem(id)->accessibleName(), name) << id;
}
