#include "recurrence/Occurrences.h"

#include <algorithm>
#include <optional>
#include <set>

#include "db/DBL.h"
#include "db/OleDate.h"
#include "db/Transaction.h"
#include "records/Events.h"
#include "records/Tasks.h"
#include "recurrence/RepeatRules.h"
#include "recurrence/RepeatSeries.h"
#include "recurrence/RepeatingOccurrences.h"

using DBL::IntToString;

namespace {

constexpr int kTask = 0;
constexpr int kEvent = 2;

// The records of the days themselves that do not repeat. Undone tasks with a
// date only, of a category that exists, as the task list shows them.
std::string SinglesSql(int firstDay, int lastDay) {
  const std::string first = IntToString(firstDay), last = IntToString(lastDay);
  return "select 2 as kind, id, event_date as day, using_time as timed, event_time as time from event "
         "where event_date between " + first + " and " + last +
         " and id not in (select record_id from repeat_rule where kind = 2)"
         " union all select 0, t.id, t.due_date, t.deadline_time, t.due_time from task t where "
         "t.due_date between " + first + " and " + last + " and t.completed = 0 and t.deadline = 1"
         " and exists (select 1 from category c where c.id = t.category_id)"
         " and t.id not in (select record_id from repeat_rule where kind = 0)";
}

// Calls `found` with each occurrence of the records between the days, at
// most a hundred of one series on one day, in no particular order.
template <class Found>
void EachOccurrence(int firstDay, int lastDay, Found found) {
  DBL::MemResultSet rows = DBL::ExecuteQuery(SinglesSql(firstDay, lastDay));
  while (rows.Next()) {
    Occurrence o;
    o.kind = rows.GetInt("kind");
    o.id = rows.GetInt("id");
    o.day = rows.GetInt("day");
    o.hasTime = rows.GetInt("timed") != 0;
    o.time = o.hasTime ? rows.GetDouble("time") : 0;
    found(o);
  }
  for (const Occurrence& o : RepeatingOccurrences::Between(firstDay, lastDay)) found(o);
}

// The moment a record's series starts (its own row's date and time), if the
// record is there.
std::optional<double> FirstMoment(int kind, int id) {
  if (kind == kEvent) {
    const EventRecord event = LoadEvent(id);
    if (event.id < 0) return std::nullopt;
    return event.event_date + (event.using_time ? event.event_time : 0.0);
  }
  const TaskRecord task = LoadTask(id);
  if (task.id < 0 || !task.deadline) return std::nullopt;
  return TaskDueMoment(task);
}

// The statement that moves a task to `moment`, its date and time of day.
std::string MoveTaskSql(TaskRecord task, double moment) {
  task.due_date = OleDate::DayNumber(moment);
  if (task.deadline_time) task.due_time = OleDate::TimeOfDay(moment);
  return UpdateTaskSql(task);
}

int Failure(const DBL::SQLException& e) { return e.GetCode() > 0 ? -e.GetCode() : -1; }

}  // namespace

std::vector<Occurrence> OccurrencesBetween(int firstDay, int lastDay) {
  std::vector<Occurrence> list;
  EachOccurrence(firstDay, lastDay, [&list](const Occurrence& o) { list.push_back(o); });
  std::sort(list.begin(), list.end(), [](const Occurrence& a, const Occurrence& b) {
    if (a.day != b.day) return a.day < b.day;
    if (a.hasTime != b.hasTime) return !a.hasTime;
    if (a.hasTime && a.time != b.time) return a.time < b.time;
    if (a.kind != b.kind) return a.kind > b.kind;  // events before tasks
    return a.id < b.id;
  });
  return list;
}

std::vector<int> DaysWithItems(int firstDay, int lastDay) {
  std::set<int> days;
  EachOccurrence(firstDay, lastDay, [&days](const Occurrence& o) { days.insert(o.day); });
  return {days.begin(), days.end()};
}

int ExcludeOccurrence(int kind, int id, int day) {
  RepeatRule rule = LoadRepeatRule(kind, id);
  const std::optional<double> first = FirstMoment(kind, id);
  if (rule.rrule.empty() || !first) return -1;
  const RepeatSeries series(rule, *first);
  if (series.Between(day, day, 1).empty()) return -1;
  rule.excludedDays.push_back(day);
  // A task's row holds its current occurrence: removing that one moves it on.
  std::optional<double> next;
  if (kind == kTask && OleDate::DayNumber(*first) == day) next = series.After(*first);
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) {
      if (next) {
        t.Change(MoveTaskSql(LoadTask(id), *next));
        t.Change(UpdateRepeatRuleSql(kind, id, RepeatSeries(rule, *first).MovedTo(*next)));
      } else {
        t.Change(UpdateRepeatRuleSql(kind, id, rule));
      }
    });
  } catch (const DBL::SQLException& e) {
    return Failure(e);
  }
  return 0;
}

int DetachOccurrence(int kind, int id, int day) {
  RepeatRule rule = LoadRepeatRule(kind, id);
  const std::optional<double> first = FirstMoment(kind, id);
  if (rule.rrule.empty() || !first) return -1;
  const std::vector<double> there = RepeatSeries(rule, *first).Between(day, day, 1);
  if (there.empty()) return -1;
  rule.excludedDays.push_back(day);
  const RepeatSeries rest(rule, *first);
  std::optional<double> next;
  if (kind == kTask && OleDate::DayNumber(*first) == day) next = rest.After(*first);
  int newId = 0;
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) {
      if (kind == kEvent) {
        EventRecord event = LoadEvent(id);
        event.event_date = day;
        newId = t.Insert(InsertEventSql(event));
      } else {
        const TaskRecord task = LoadTask(id);
        TaskRecord single = task;
        single.due_date = day;
        newId = t.Insert(InsertTaskSql(single));
        if (next) t.Change(MoveTaskSql(task, *next));
      }
      t.Change(UpdateRepeatRuleSql(kind, id, next ? rest.MovedTo(*next) : rule));
      t.Insert(LinkOccurrenceSql(kind, newId, id, day));
    });
  } catch (const DBL::SQLException& e) {
    return Failure(e);
  }
  return newId;
}

int CompleteTaskOccurrence(int id) {
  const TaskRecord task = LoadTask(id);
  if (task.id < 0) return -1;
  const RepeatRule rule = LoadRepeatRule(kTask, id);
  std::optional<double> next;
  if (!rule.rrule.empty() && task.deadline) next = RepeatSeries(rule, TaskDueMoment(task)).After(TaskDueMoment(task));
  if (!next) {
    const int rc = SetTaskCompleted(id, 1);
    return rc == 0 ? 2 : (rc > 0 ? -rc : -1);
  }
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) {
      t.Change(MoveTaskSql(task, *next));
      t.Change(UpdateRepeatRuleSql(kTask, id, RepeatSeries(rule, TaskDueMoment(task)).MovedTo(*next)));
    });
  } catch (const DBL::SQLException& e) {
    return Failure(e);
  }
  return 1;
}
