#include "recurrence/Agenda.h"

#include <cstdio>
#include <map>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/OleDate.h"
#include "recurrence/Occurrences.h"

namespace {

// One line per item: a title's line breaks become blanks.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

std::map<int, std::string> Titles(const std::string& sql) {
  std::map<int, std::string> titles;
  DBL::MemResultSet rows = DBL::ExecuteQuery(sql);
  while (rows.Next()) titles[rows.GetInt("id")] = OneLine(rows.GetString("title"));
  return titles;
}

}  // namespace

std::vector<std::string> AgendaLines(int today, int days) {
  const std::vector<Occurrence> occurrences = OccurrencesBetween(today, today + days);
  std::vector<std::string> lines;
  if (occurrences.empty()) return lines;
  const std::map<int, std::string> events = Titles("select id, title from event");
  const std::map<int, std::string> tasks = Titles("select id, name as title from task where completed = 0");
  for (const Occurrence& o : occurrences) {
    const OleDate::Parts p = OleDate::ToParts(o.day + o.time);
    char when[32];
    if (o.hasTime) {
      std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", p.year, p.month, p.day, p.hour, p.minute);
    } else {
      std::snprintf(when, sizeof when, "%04d-%02d-%02d all-day", p.year, p.month, p.day);
    }
    const std::map<int, std::string>& titles = o.kind == 0 ? tasks : events;
    const auto title = titles.find(o.id);
    lines.push_back(std::string(when) + (o.kind == 0 ? " task " : " event ") +
                    (title == titles.end() ? std::string() : title->second));
  }
  return lines;
}

int PrintAgenda(int days, std::ostream& out, std::ostream& err) {
  const std::string problem = DBL::PrepareDatabase(DBL::GetDatabasePath());
  if (!problem.empty()) {
    err << problem << "\n";
    return 1;
  }
  for (const std::string& line : AgendaLines(OleDate::DayNumber(OleDate::Now()), days)) out << line << "\n";
  return out.good() ? 0 : 1;
}
