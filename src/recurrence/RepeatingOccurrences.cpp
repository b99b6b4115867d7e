#include "recurrence/RepeatingOccurrences.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/OleDate.h"
#include "recurrence/RepeatRules.h"
#include "recurrence/SeriesCache.h"

namespace {

constexpr int kBlockDays = 32;
constexpr size_t kMostBlocks = 256;

struct Series {
  Occurrence first;
  RepeatRule rule;
};

struct Kept {
  std::string version;  // of the file the series were read from
  std::vector<Series> series;
  std::map<int, std::vector<Occurrence>> blocks;
};

std::vector<Series> ReadSeries() {
  const std::string task = "t.completed = 0 and t.deadline = 1 and exists (select 1 from category c where c.id = t.category_id)";
  DBL::MemResultSet rows = DBL::ExecuteQuery(
      "select 2 as kind, e.id as id, e.event_date as day, e.using_time as timed, e.event_time as time, r.rrule as rrule, "
      "r.excluded as excluded, r.added as added from repeat_rule r join event e on e.id = r.record_id where r.kind = 2"
      " union all select 0, t.id, t.due_date, t.deadline_time, t.due_time, r.rrule, r.excluded, r.added "
      "from repeat_rule r join task t on t.id = r.record_id where r.kind = 0 and " + task);
  std::vector<Series> series;
  series.reserve(rows.RowCount());
  while (rows.Next()) {
    Series s;
    s.first.kind = rows.GetInt("kind");
    s.first.id = rows.GetInt("id");
    s.first.day = rows.GetInt("day");
    s.first.hasTime = rows.GetInt("timed") != 0;
    s.first.time = s.first.hasTime ? rows.GetDouble("time") : 0;
    s.first.repeats = true;
    s.rule = ReadRepeatRule(rows);
    series.push_back(std::move(s));
  }
  return series;
}

std::vector<Occurrence> Work(const std::vector<Series>& series, int firstDay, int lastDay) {
  std::vector<Occurrence> found;
  for (const Series& s : series) {
    for (double moment : SeriesCache::Between(s.rule, s.first.day + s.first.time, firstDay, lastDay)) {
      Occurrence o = s.first;
      o.day = OleDate::DayNumber(moment);
      if (o.hasTime) o.time = OleDate::TimeOfDay(moment);
      found.push_back(o);
    }
  }
  return found;
}

int BlockOf(int day) { return day >= 0 ? day / kBlockDays : -((-day + kBlockDays - 1) / kBlockDays); }

}  // namespace

std::vector<Occurrence> RepeatingOccurrences::Between(int firstDay, int lastDay) {
  static std::mutex lock;
  static Kept kept;
  // Read before the series: a change made meanwhile gives a newer version
  // next time, and the series are read again.
  const std::string version = DBL::FileVersion(DBL::GetDatabasePath());
  std::unique_lock<std::mutex> guard(lock);
  if (version.empty() || version != kept.version) {
    guard.unlock();
    std::vector<Series> series = ReadSeries();
    if (version.empty()) return Work(series, firstDay, lastDay);
    guard.lock();
    kept = Kept{version, std::move(series), {}};
  }
  if (kept.blocks.size() > kMostBlocks) kept.blocks.clear();
  std::vector<Occurrence> found;
  for (int block = BlockOf(firstDay); block <= BlockOf(lastDay); ++block) {
    auto at = kept.blocks.find(block);
    if (at == kept.blocks.end()) {
      at = kept.blocks.emplace(block, Work(kept.series, block * kBlockDays, block * kBlockDays + kBlockDays - 1)).first;
    }
    for (const Occurrence& o : at->second) {
      if (o.day >= firstDay && o.day <= lastDay) found.push_back(o);
    }
  }
  return found;
}
