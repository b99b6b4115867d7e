#include "recurrence/SeriesCache.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "db/OleDate.h"
#include "recurrence/RepeatSeries.h"

namespace {

constexpr int kBlockDays = 64;
constexpr size_t kMostBlocks = 50000;

std::string SeriesKey(const RepeatRule& rule, double firstMoment) {
  char first[32];
  std::snprintf(first, sizeof first, "%.6f|", firstMoment);
  std::string key = first + rule.rrule + "|";
  for (int day : rule.excludedDays) key += std::to_string(day) + ",";
  key += "|";
  for (int day : rule.addedDays) key += std::to_string(day) + ",";
  return key;
}

int BlockOf(int day) { return day >= 0 ? day / kBlockDays : -((-day + kBlockDays - 1) / kBlockDays); }

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::map<std::pair<std::string, int>, std::vector<double>>& Blocks() {
  static std::map<std::pair<std::string, int>, std::vector<double>> blocks;
  return blocks;
}

}  // namespace

std::vector<double> SeriesCache::Between(const RepeatRule& rule, double firstMoment, int firstDay, int lastDay) {
  std::vector<double> found;
  if (lastDay < firstDay) return found;
  const std::string key = SeriesKey(rule, firstMoment);
  std::unique_ptr<RepeatSeries> series;  // made only when a block is missing
  for (int block = BlockOf(firstDay); block <= BlockOf(lastDay); ++block) {
    const std::pair<std::string, int> at(key, block);
    std::vector<double> moments;
    bool kept = false;
    {
      std::lock_guard<std::mutex> guard(Lock());
      const auto block = Blocks().find(at);
      if (block != Blocks().end()) {
        moments = block->second;
        kept = true;
      }
    }
    if (!kept) {
      if (!series) series = std::make_unique<RepeatSeries>(rule, firstMoment);
      moments = series->Between(block * kBlockDays, block * kBlockDays + kBlockDays - 1);
      std::lock_guard<std::mutex> guard(Lock());
      if (Blocks().size() >= kMostBlocks) Blocks().clear();
      Blocks()[at] = moments;
    }
    for (double moment : moments) {
      const int day = OleDate::DayNumber(moment);
      if (day >= firstDay && day <= lastDay) found.push_back(moment);
    }
  }
  return found;
}
