#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The daily copies of the database, in backups/ beside it, one file per day
// named organizer-YYYY-MM-DD.db. The newest seven are kept, and of older ones
// the first copy of each of the four most recent weeks (Monday to Sunday).
class DailyBackup {
 public:
  static constexpr int kDailyCopies = 7;
  static constexpr int kWeeklyCopies = 4;

  struct Copy {
    std::string path;
    std::chrono::sys_days day;
  };

  explicit DailyBackup(const std::string& databaseFile);

  const std::string& Folder() const { return m_folder; }

  // Makes the copy for `today` unless it exists, then removes the copies no
  // longer kept. Returns "" or why no copy could be made; then no older copy
  // is removed either.
  std::string Run(std::chrono::sys_days today);

  // The copies in the folder, newest first.
  std::vector<Copy> List() const;
  // The newest copy that passes the database check, if any.
  std::optional<Copy> NewestGood() const;

  static std::string FileName(std::chrono::sys_days day);
  // YYYY-MM-DD.
  static std::string DateText(std::chrono::sys_days day);
  // The local calendar date of now.
  static std::chrono::sys_days Today();

 private:
  void RemoveOld() const;

  std::string m_database;
  std::string m_folder;
};
