#include "records/Events.h"

#include "db/Transaction.h"
#include "records/RecordRows.h"

using DBL::IntToString;
using DBL::RealToString;
using RecordRows::DayText;
using RecordRows::Quoted;

namespace {

EventRecord ReadEvent(const DBL::MemResultSet& row) {
  EventRecord event;
  event.event_date = row.GetDouble("event_date");
  event.using_time = row.GetInt("using_time");
  event.event_time = row.GetDouble("event_time");
  event.title = row.GetString("title");
  event.note = row.GetString("note");
  event.warning = row.GetInt("warning");
  return event;
}

EventRecord ReadListedEvent(const DBL::MemResultSet& row) {
  EventRecord event = ReadEvent(row);
  event.id = row.GetInt("id");
  return event;
}

}  // namespace

EventRecord LoadEvent(int id) {
  // The query does not select the id: a found event takes the one asked for.
  return RecordRows::ReadFirst(
      "select event_date, using_time, event_time, title, note, warning from event where id = " + IntToString(id),
      [id](const DBL::MemResultSet& row) {
        EventRecord event = ReadEvent(row);
        event.id = id;
        return event;
      },
      EventRecord{});
}

int InsertEvent(const EventRecord& event) { return DBL::ExecuteInsert(InsertEventSql(event)); }

std::string InsertEventSql(const EventRecord& e) {
  return "insert into event (event_date,using_time,event_time,title,note, warning)values(" +
                            DayText(e.event_date) + "," + IntToString(e.using_time) + "," +
                            RealToString(e.event_time) + "," + Quoted(e.title) + "," + Quoted(e.note) + "," +
                            IntToString(e.warning) + ")";
}

int UpdateEvent(const EventRecord& event) { return DBL::ExecuteUpdate(UpdateEventSql(event)); }

std::string UpdateEventSql(const EventRecord& e) {
  // using_time goes in as a real (1.000000); the integer column reads it back as 1.
  return ("update event set event_date = " + DayText(e.event_date) +
                            ",using_time = " + RealToString(e.using_time) +
                            ",event_time = " + RealToString(e.event_time) + ",title = " + Quoted(e.title) +
                            ",note = " + Quoted(e.note) + ",warning = " + IntToString(e.warning) +
                            " where id = " + IntToString(e.id));
}

int DeleteEvent(int id) { return DBL::ExecuteDelete("delete from event where id = " + IntToString(id)); }

std::vector<EventRecord> ListEvents(int day) {
  std::string sql = "select id, event_date,using_time, event_time, title, note, warning from event ";
  if (day != -1) sql += "where event_date = " + IntToString(day);
  return RecordRows::ReadAll<EventRecord>(sql + " order by event_time", ReadListedEvent);
}

std::vector<EventRecord> ListEventsById(const std::vector<int>& ids) {
  if (ids.empty()) return {};
  return RecordRows::ReadAll<EventRecord>(
      "select id, event_date,using_time, event_time, title, note, warning from event where id in (" + RecordRows::IdList(ids) +
          ") order by id",
      ReadListedEvent);
}

std::vector<EventRecord> ListEvents(DBL::Transaction& transaction) {
  return RecordRows::ReadRows<EventRecord>(transaction.Query("select id, event_date,using_time, event_time, title, note, warning from event order by id"), ReadListedEvent);
}
