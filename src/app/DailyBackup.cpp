#include "app/DailyBackup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>

#include "db/DatabaseCopy.h"
#include "db/DatabaseFile.h"

namespace fs = std::filesystem;
using std::chrono::sys_days;

namespace {

// Weeks counted from a Monday: day 0 of the clock's epoch was a Thursday.
long WeekOf(sys_days day) { return (day.time_since_epoch().count() + 3) / 7; }

std::optional<sys_days> DayOfName(const std::string& name) {
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  char tail[4] = {};
  if (name.size() != 23 || std::sscanf(name.c_str(), "organizer-%4d-%2u-%2u.%3s", &y, &m, &d, tail) != 4 ||
      std::string(tail) != "db") {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
  if (!date.ok()) return std::nullopt;
  return sys_days(date);
}

}  // namespace

DailyBackup::DailyBackup(const std::string& databaseFile)
    : m_database(databaseFile), m_folder((fs::path(databaseFile).parent_path() / "backups").string()) {}

std::string DailyBackup::FileName(sys_days day) { return "organizer-" + DateText(day) + ".db"; }

std::string DailyBackup::DateText(sys_days day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

sys_days DailyBackup::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return sys_days(std::chrono::year_month_day{std::chrono::year(local.tm_year + 1900),
                                              std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                                              std::chrono::day(static_cast<unsigned>(local.tm_mday))});
}

std::string DailyBackup::Run(sys_days today) {
  const std::string target = (fs::path(m_folder) / FileName(today)).string();
  std::error_code error;
  if (fs::exists(target, error)) return "";
  fs::create_directories(m_folder, error);
  if (error) return "the folder \"" + m_folder + "\" cannot be made (" + error.message() + ")";
  ::chmod(m_folder.c_str(), 0700);  // copies of the user's own records
  const std::string why = DBL::CopyDatabase(m_database, target);
  if (why.empty()) RemoveOld();
  return why;
}

std::vector<DailyBackup::Copy> DailyBackup::List() const {
  std::vector<Copy> copies;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, error)) {
    const std::optional<sys_days> day = DayOfName(entry.path().filename().string());
    if (day && entry.is_regular_file(error)) copies.push_back({entry.path().string(), *day});
  }
  std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.day > b.day; });
  return copies;
}

std::optional<DailyBackup::Copy> DailyBackup::NewestGood() const {
  for (const Copy& copy : List()) {
    if (DBL::CheckDatabase(copy.path).empty()) return copy;
  }
  return std::nullopt;
}

// A week's first copy stands for it, so the one kept does not change from day
// to day as the daily copies move on.
void DailyBackup::RemoveOld() const {
  const std::vector<Copy> copies = List();
  std::set<long> weeks;
  for (size_t i = copies.size(); i-- > kDailyCopies;) weeks.insert(WeekOf(copies[i].day));
  while (weeks.size() > kWeeklyCopies) weeks.erase(weeks.begin());
  std::set<long> represented;
  std::vector<const Copy*> doomed;
  for (size_t i = copies.size(); i-- > kDailyCopies;) {
    const long week = WeekOf(copies[i].day);
    if (weeks.count(week) && represented.insert(week).second) continue;
    doomed.push_back(&copies[i]);
  }
  std::error_code error;
  for (const Copy* copy : doomed) fs::remove(copy->path, error);
}
