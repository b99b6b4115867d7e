#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "records/Events.h"

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
