#pragma once

#include <benchmark/benchmark.h>

// Runs every registered benchmark and then prints, for each pair registered as
// "<name>/organizer" and "<name>/raw", the line
// "<name>: ratio <x.xx> (organizer <t> ms, raw <t> ms)".
// Returns 1 when a benchmark failed to run.
int RunBenchmarksWithRatios(int argc, char** argv);

#include <QTemporaryDir>
#include <string>

// The records of a well-used organizer: 10,000 tasks (or as many as asked),
// 2,000 contacts, 5,000 events (a dozen of them today) and 2,000 notes, as SQL
// for BenchDatabase.
inline constexpr int kSampleTasks = 10000;
std::string SampleRecords(int tasks = kSampleTasks);

// A fresh organizer database in a temporary data folder, made current for the
// data store through XDG_DATA_HOME; sampleSql is run on it in one transaction.
class BenchDatabase {
 public:
  explicit BenchDatabase(const std::string& sampleSql);
  const std::string& Path() const { return m_path; }
  // The XDG_DATA_HOME under which the database lies.
  std::string DataHome() const { return m_dir.path().toStdString(); }

 private:
  QTemporaryDir m_dir;
  std::string m_path;
};

// Runs the query with the raw SQLite interface, reading every column of every
// row as text: the baseline the data store is measured against. Returns the rows.
int RawQuery(const std::string& dbFile, const std::string& sql);
