#pragma once

#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

struct EventRecord {
  int id = -1;
  double event_date = 0;  // OLE date; stored as its day number
  int using_time = 0;     // 1 when the event has a time of day
  double event_time = 0;  // fraction of a day; 0 for an all-day event
  std::string title;
  std::string note;
  int warning = 0;  // minutes before the event to remind, 0 for none

  bool operator==(const EventRecord&) const = default;
};

// The event with this id, or a fresh record (id -1) when there is none.
EventRecord LoadEvent(int id);
// Returns the new id (positive); 0 when nothing was stored, -1 when the new id
// could not be read back.
int InsertEvent(const EventRecord& event);
// Each returns 0 on success, otherwise SQLite's code or -1 (no database).
int UpdateEvent(const EventRecord& event);
int DeleteEvent(int id);
// The events of one day number, or of every day for -1, by time of day.
std::vector<EventRecord> ListEvents(int day);
// The events with these ids, in one read, in id order; ids of no event are left out.
std::vector<EventRecord> ListEventsById(const std::vector<int>& ids);

// For bulk work in one transaction (import, export): the statements of
// InsertEvent and UpdateEvent, and every event by id.
std::string InsertEventSql(const EventRecord& event);
std::string UpdateEventSql(const EventRecord& event);
std::vector<EventRecord> ListEvents(DBL::Transaction& transaction);
