// What reaches SQLite for one call of every record operation, written out in full.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "db/DBL.h"
#include "db/OleDate.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Priorities.h"
#include "records/Tasks.h"
#include "reminders/DueReminders.h"

using Sql = std::vector<std::string>;

namespace {

const std::string kTaskList =
    "select task.id as id,task.name as name, category.id as catid, category_id, priority_id, category.name as "
    "catname, description, deadline,deadline_time,due_date, due_time, warning, updated_warning, completed from "
    "task, category where task.category_id = category.id ";
const std::string kEventList = "select id, event_date,using_time, event_time, title, note, warning from event ";
const std::string kNoteSelect =
    "select note.id, category_id, category.name as catname, subject, content, last_updated from note, category "
    "where note.category_id = category.id ";
const std::string kContactList =
    "select contact.id,cat_id,category.name as catname,fname,mname,lname,disp_info,address,email,phone,note from "
    "contact, category where contact.cat_id = category.id ";

class StatementTest : public RecordsTest {
 protected:
  // The single statement of a note save, with its stamp checked against the clock.
  std::string NoteSave(const std::function<void()>& save, const std::string& before, const std::string& after) {
    const double from = OleDate::Now();
    const Sql seen = Statements(save);
    const double to = OleDate::Now();
    EXPECT_EQ(seen.size(), 1u);
    if (seen.empty()) return {};
    for (double stamp : {from, to}) {
      if (seen[0] == before + DBL::RealToString(stamp) + after) return seen[0];
    }
    ADD_FAILURE() << seen[0];
    return seen[0];
  }
};

}  // namespace

TEST_F(StatementTest, Categories) {
  EXPECT_EQ(Statements([] { ListCategories(3); }),
            Sql{"select id, type_id, name,comment from category where type_id = 3"});
  EXPECT_EQ(Statements([] {
              InsertCategory({-1, 1, "Bob's", "\"x\""});
            }),
            Sql{"insert into category ( type_id, name, comment) values (1,'Bob#$%g^s','*(!G^%^x*(!G^%^')"});
  EXPECT_EQ(Statements([] { DeleteCategory(6, 1); }),
            (Sql{"select count(type_id) as num from category where type_id = 1",
                 "select count(cat_id) as num from contact where cat_id = 6", "delete from category where id = 6"}));
  EXPECT_EQ(Statements([] { DeleteCategory(2, 0); })[1],
            "select count(category_id) as num from task where category_id = 2");
  EXPECT_EQ(Statements([] { DeleteCategory(8, 3); })[1],
            "select count(category_id) as num from note where category_id = 8");
  EXPECT_EQ(Statements([] { ListPriorities(); }), Sql{"select id, name, comment, color from priority"});
}

TEST_F(StatementTest, Contacts) {
  const ContactRecord c{12, 4, "ignored", "F'", "M", "L", "D", "A", "E", "P", "N\""};
  EXPECT_EQ(Statements([] { LoadContact(12); }),
            Sql{"select id,cat_id,fname,mname,lname,disp_info,address,email,phone,note from contact where id = 12"});
  EXPECT_EQ(Statements([&] { InsertContact(c); }),
            Sql{"insert into contact ( cat_id,fname,mname,lname,disp_info,address,email,phone,note ) values "
                "(4,'F#$%g^','M','L','D','A','E','P','N*(!G^%^')"});
  EXPECT_EQ(Statements([&] { UpdateContact(c); }),
            Sql{"update contact set cat_id = 4,fname = 'F#$%g^',mname = 'M',lname = 'L',disp_info = 'D',"
                "address = 'A',email = 'E',phone= 'P',note='N*(!G^%^' where id = 12"});
  EXPECT_EQ(Statements([] { DeleteContact(12); }), Sql{"delete from contact where id = 12"});
  const auto listed = [](int sort) {
    GetApp().GetSettings().SetContactSort(sort);
    ListContacts();
  };
  EXPECT_EQ(Statements([&] { listed(0); }), Sql{kContactList + " order by lower(lname)"});
  EXPECT_EQ(Statements([&] { listed(1); }), Sql{kContactList + "order by lower(catname)"});
  EXPECT_EQ(Statements([&] { listed(2); }), Sql{kContactList});
}

TEST_F(StatementTest, Events) {
  const EventRecord e{5, 39448.9, 1, 0.541667, "T'", "N", 60};
  EXPECT_EQ(Statements([] { LoadEvent(5); }),
            Sql{"select event_date, using_time, event_time, title, note, warning from event where id = 5"});
  EXPECT_EQ(Statements([&] { InsertEvent(e); }),
            Sql{"insert into event (event_date,using_time,event_time,title,note, warning)values"
                "(39448,1,0.541667,'T#$%g^','N',60)"});
  EXPECT_EQ(Statements([&] { UpdateEvent(e); }),
            Sql{"update event set event_date = 39448,using_time = 1.000000,event_time = 0.541667,"
                "title = 'T#$%g^',note = 'N',warning = 60 where id = 5"});
  EXPECT_EQ(Statements([] { DeleteEvent(5); }), Sql{"delete from event where id = 5"});
  EXPECT_EQ(Statements([] { ListEvents(39448); }), Sql{kEventList + "where event_date = 39448 order by event_time"});
  EXPECT_EQ(Statements([] { ListEvents(-1); }), Sql{kEventList + " order by event_time"});
}

TEST_F(StatementTest, Notes) {
  const NoteRecord n{3, "S'", "C\"", 1.0, "ignored", 7};
  EXPECT_EQ(Statements([] { LoadNote(3); }), Sql{kNoteSelect + "and note.id = 3"});
  NoteSave([&] { InsertNote(n); },
           "insert into note ( subject, content, last_updated, category_id) values ('S#$%g^','C*(!G^%^',", ",7)");
  NoteSave([&] { UpdateNote(n); }, "update note set subject = 'S#$%g^', content = 'C*(!G^%^', last_updated = ",
           ",category_id = 7 where id = 3");
  EXPECT_EQ(Statements([] { DeleteNote(3); }), Sql{"delete from note where id = 3"});
  const auto listed = [](int sort) {
    GetApp().GetSettings().SetNoteSort(sort);
    ListNotes();
  };
  EXPECT_EQ(Statements([&] { listed(0); }), Sql{kNoteSelect + " order by lower(subject)"});
  EXPECT_EQ(Statements([&] { listed(1); }), Sql{kNoteSelect + " order by last_updated desc"});
  EXPECT_EQ(Statements([&] { listed(2); }), Sql{kNoteSelect + "order by lower(catname)"});
  EXPECT_EQ(Statements([&] { listed(3); }), Sql{kNoteSelect});
}

TEST_F(StatementTest, Tasks) {
  TaskRecord t{9, 2, 1, "Call the bank's", "\"now\"", 0, 1, 1, 39448.3, 0.5625, 60, -1};
  EXPECT_EQ(Statements([] { LoadTask(9); }),
            Sql{"select id, category_id, priority_id, name, description,deadline,deadline_time, due_date, due_time, "
                "warning, updated_warning, completed from task where id = 9"});
  EXPECT_EQ(Statements([&] { InsertTask(t); }),
            Sql{"insert into task (category_id, priority_id, name, description,deadline, deadline_time, due_date, "
                "due_time, warning) values ( 2,1,'Call the bank#$%g^s','*(!G^%^now*(!G^%^',1,1,39448,0.562500,60)"});
  EXPECT_EQ(Statements([&] { UpdateTask(t); }),
            Sql{"update task set completed = 0,deadline = 1,deadline_time = 1,due_date = 39448,due_time = 0.562500,"
                "category_id = 2,priority_id = 1,updated_warning = -1,warning = 60,description = "
                "'*(!G^%^now*(!G^%^',name = 'Call the bank#$%g^s' where id = 9"});
  t.deadline = 0;
  EXPECT_EQ(Statements([&] { InsertTask(t); }),
            Sql{"insert into task (category_id, priority_id, name, description,deadline) values "
                "(2,1,'Call the bank#$%g^s','*(!G^%^now*(!G^%^',0)"});
  EXPECT_EQ(Statements([] { SetTaskCompleted(9, 1); }), Sql{"update task set completed = 1 where id = 9"});
  EXPECT_EQ(Statements([] { DeleteTask(9); }), Sql{"delete from task where id = 9"});
  const auto listed = [](int sort) {
    GetApp().GetSettings().SetTaskSort(sort);
    ListTasks();
  };
  EXPECT_EQ(Statements([&] { listed(0); }), Sql{kTaskList + " order by lower(task.name)"});
  EXPECT_EQ(Statements([&] { listed(1); }), Sql{kTaskList + " order by due_date, due_time"});
  EXPECT_EQ(Statements([&] { listed(2); }), Sql{kTaskList + "order by priority_id"});
  EXPECT_EQ(Statements([&] { listed(3); }), Sql{kTaskList + "order by lower(catname)"});
  EXPECT_EQ(Statements([&] { listed(-1); }), Sql{kTaskList});
}

TEST_F(StatementTest, ReminderScan) {
  const double noon = OleDate::FromParts({2008, 1, 1, 12, 0, 0});
  const int task = InsertTask(TaskRecord{-1, 1, 2, "t", "", 0, 1, 1, 39448, 0.51, 60, -1});
  const int event = InsertEvent(EventRecord{-1, 39448, 1, 0.52, "e", "", 60});
  GetApp().GetSettings().SetTaskSort(1);
  EXPECT_EQ(
      Statements([&] { CollectDueReminders(noon); }),
      (Sql{"select kind, record_id, rrule, excluded, added, reminded from repeat_rule",
           kTaskList + " order by due_date, due_time", "update task set warning = 0 where id = " + std::to_string(task),
           kEventList + " order by event_time", "update event set warning = 0 where id = " + std::to_string(event)}));
  EXPECT_EQ(Statements([] { SetReminderWarning(kReminderEvent, 4, 460); }),
            Sql{"update event set warning = 460 where id = 4"});
}
