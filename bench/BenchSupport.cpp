#include "BenchSupport.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) {
        m_failed = true;
        continue;
      }
      // With repetitions the median stands for the benchmark; otherwise its one run.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type != Run::RT_Iteration && !median) continue;
      // The registered name, without what the run adds ("/manual_time", "/iterations:3").
      const std::string name = run.run_name.function_name;
      const size_t slash = name.rfind('/');
      if (slash == std::string::npos) continue;
      const double ms = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
      m_times[name.substr(0, slash)][name.substr(slash + 1)] = ms;
    }
  }

  void PrintRatios() const {
    for (const auto& [name, sides] : m_times) {
      const auto organizer = sides.find("organizer");
      const auto raw = sides.find("raw");
      if (organizer == sides.end() || raw == sides.end() || raw->second <= 0) continue;
      std::printf("%s: ratio %.2f (organizer %.3f ms, raw %.3f ms)\n", name.c_str(),
                  organizer->second / raw->second, organizer->second, raw->second);
    }
  }

  bool Failed() const { return m_failed; }

 private:
  std::map<std::string, std::map<std::string, double>> m_times;
  bool m_failed = false;
};

}  // namespace

int RunBenchmarksWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintRatios();
  return reporter.Failed() ? 1 : 0;
}

#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/OleDate.h"

BenchDatabase::BenchDatabase(const std::string& sampleSql) {
  ::setenv("XDG_DATA_HOME", m_dir.path().toStdString().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (m_dir.path() + "/config").toStdString().c_str(), 1);
  m_path = DBL::GetDatabasePath();
  if (!DBL::PrepareDatabase(m_path).empty()) throw std::runtime_error("cannot create " + m_path);
  sqlite3* db = nullptr;
  sqlite3_open(m_path.c_str(), &db);
  const std::string script = "BEGIN;" + sampleSql + ";COMMIT;";
  char* error = nullptr;
  if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    sqlite3_close(db);
    throw std::runtime_error("sample data: " + message);
  }
  sqlite3_close(db);
}

int RawQuery(const std::string& dbFile, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(dbFile.c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
  const int columns = sqlite3_column_count(stmt);
  int rows = 0;
  size_t bytes = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
      bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, c));
    }
    ++rows;
  }
  benchmark::DoNotOptimize(bytes);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

namespace {

std::string Numbers(int count) {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(count) + ") ";
}

}  // namespace

std::string SampleRecords(int tasks) {
  const std::string today = std::to_string(OleDate::DayNumber(OleDate::Now()));
  return Numbers(tasks) +
         "INSERT INTO task (category_id, priority_id, name, description, deadline, deadline_time, due_date,"
         " due_time, warning, updated_warning, completed)"
         " SELECT 1 + i % 3, 1 + i % 4, substr('Call, write, book, renew or order item ', 1 + i % 17) || i,"
         " 'Notes on task ' || i, i % 2, i % 4 = 0, 46000 + i % 365, (i % 96) / 96.0, 0, -1, i % 7 = 0 FROM n;" +
         Numbers(2000) +
         "INSERT INTO contact (cat_id, fname, mname, lname, disp_info, address, email, phone, note)"
         " SELECT 4 + i % 3, 'First' || i, '', 'Last' || (i * 7919 % 2000), 'Met at event ' || i, 'Street ' || i,"
         " 'person' || i || '@example.org', '555 ' || i, '' FROM n;" +
         Numbers(5000) +
         "INSERT INTO event (event_date, using_time, event_time, title, note, warning)"
         " SELECT " + today + " - 2000 + i * 2000 / 5000 + (i % 417 = 0) * (2000 - i * 2000 / 5000), i % 3 > 0,"
         " (i % 48) / 48.0, 'Event ' || i, '', 0 FROM n;" +
         Numbers(2000) +
         "INSERT INTO note (subject, content, last_updated, category_id)"
         " SELECT 'Note ' || i, 'Some text of note ' || i, 46000 + i / 7.0, 7 + i % 2 FROM n";
}
