#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RecordsTest.h"
#include "records/Events.h"
#include "records/Tasks.h"

namespace {

class EventTest : public RecordsTest {
 protected:
  // An all-day event when time is 0.
  static int Add(const std::string& title, int day, double time) {
    EventRecord event;
    event.event_date = day;
    event.using_time = time != 0;
    event.event_time = time;
    event.title = title;
    return InsertEvent(event);
  }

  static std::vector<std::string> Titles(int day) {
    std::vector<std::string> titles;
    for (const EventRecord& event : ListEvents(day)) titles.push_back(event.title);
    return titles;
  }
};

}  // namespace

TEST_F(EventTest, QuotesAndEveryFieldRoundTrip) {
  EventRecord event{-1, 39448.541667, 1, 0.541667, "Bob's \"party\"", "bring 'cake'", 1420};
  event.id = InsertEvent(event);
  ASSERT_GT(event.id, 0);
  EXPECT_EQ(Stored("select event_date || ' ' || title from event where id = " + std::to_string(event.id)),
            "39448 Bob#$%g^s *(!G^%^party*(!G^%^");
  event.event_date = 39448;
  EXPECT_EQ(LoadEvent(event.id), event);

  event.event_date = 39500.9;
  event.title = "it's moved";
  event.warning = 0;
  ASSERT_EQ(UpdateEvent(event), 0);
  event.event_date = 39500;
  EXPECT_EQ(LoadEvent(event.id), event);
  EXPECT_EQ(Stored("select typeof(using_time) || using_time from event"), "integer1");
  EXPECT_EQ(ListEvents(-1), std::vector<EventRecord>{event});

  ASSERT_EQ(DeleteEvent(event.id), 0);
  EXPECT_EQ(LoadEvent(event.id), EventRecord{});
}

TEST_F(EventTest, OneDayOrAllDaysByTimeOfDay) {
  ASSERT_GT(Add("1pm", 39448, 13 / 24.0), 0);
  ASSERT_GT(Add("next day 8am", 39449, 8 / 24.0), 0);
  ASSERT_GT(Add("9am", 39448, 9 / 24.0), 0);
  ASSERT_GT(Add("all day", 39448, 0), 0);
  ASSERT_GT(Add("next day all day", 39449, 0), 0);
  EXPECT_EQ(Titles(39448), (std::vector<std::string>{"all day", "9am", "1pm"}));
  const std::vector<std::string> all = Titles(-1);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(all.begin() + 2, all.end()),
            (std::vector<std::string>{"next day 8am", "9am", "1pm"}));
  EXPECT_TRUE(Titles(39450).empty());
}

// The program runs in the user's locale, where the decimal mark may be a comma.
TEST_F(EventTest, TimesSurviveADecimalCommaLocale) {
  const std::string locales = Folder() + "/locales";
  const std::string source = Folder() + "/comma.src";
  std::filesystem::create_directories(locales);
  std::ofstream(source) << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\nEND LC_NUMERIC\n";
  const std::string build = "localedef -c -i '" + source + "' -f UTF-8 '" + locales + "/comma' >/dev/null 2>&1";
  if (std::system(build.c_str()) == -1) GTEST_SKIP() << "no localedef";
  ::setenv("LOCPATH", locales.c_str(), 1);
  if (!std::setlocale(LC_NUMERIC, "comma")) GTEST_SKIP() << "no decimal-comma locale";

  EventRecord event{-1, 39448, 1, 0.541667, "comma", "", 0};
  event.id = InsertEvent(event);
  const EventRecord loaded = LoadEvent(event.id);
  event.event_time = 0.75;
  const int updated = UpdateEvent(event);
  const EventRecord reloaded = LoadEvent(event.id);
  std::setlocale(LC_NUMERIC, "C");
  ::unsetenv("LOCPATH");

  ASSERT_GT(event.id, 0);
  EXPECT_EQ(loaded.event_time, 0.541667);
  EXPECT_EQ(updated, 0);
  EXPECT_EQ(reloaded.event_time, 0.75);
}

// The dates page reads a day's records in one go: only the ids asked, whole, and none for none.
TEST_F(EventTest, EventsAndTasksReadByTheirIds) {
  const int first = Add("Yoga", 39448, 0.25);
  Add("Choir", 39449, 0);
  const int third = Add("It's late", 39450, 0.9);
  const std::vector<EventRecord> events = ListEventsById({third, first, 9999});
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], LoadEvent(first));
  EXPECT_EQ(events[1], LoadEvent(third));
  EXPECT_TRUE(ListEventsById({}).empty());

  TaskRecord task;
  task.category_id = 1;
  task.priority_id = 1;
  task.name = "Pay rent";
  task.deadline = 1;
  task.due_date = 39448;
  const int id = InsertTask(task);
  ASSERT_GT(id, 0);
  const std::vector<TaskRecord> tasks = ListTasksById({id, id + 1});
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0], LoadTask(id));
}
