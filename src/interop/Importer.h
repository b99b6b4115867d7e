#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "interop/InteropItem.h"

namespace Interop {

// What importing a file does to one kind of record.
struct KindCounts {
  int added = 0;
  int updated = 0;
  int unchanged = 0;
  int skipped = 0;
  std::vector<std::string> why;  // one line per skipped item: "line N: reason"
};

// A record an import changes (its id known at Preview) or adds (its id known
// once applied).
struct ImportedRecord {
  int kind = 0;
  int id = 0;
  bool added = false;
};

// Imports one .ics, .vcs or .vcf file (told apart by what it holds, not by
// its name). Preview reads it and compares it with the database; Apply
// writes it in one transaction: the whole file or nothing. A record whose
// UID the database knows is updated when the file holds it differently and
// otherwise counted unchanged, so importing the same file again adds nothing.
class Importer {
 public:
  explicit Importer(std::string path);

  // Reads the file and counts what Apply would do. Throws InteropError for a
  // file that cannot be imported, DBL::SQLException when the database cannot
  // be read.
  void Preview();

  // Writes the file's records (reading it first when Preview was not called).
  // `progress` is told how many of how many items are done and may answer
  // false to cancel: then nothing is written and Apply returns false.
  bool Apply(const std::function<bool(int done, int total)>& progress = {});

  // Counts by kind (0 task, 1 contact, 2 event, 3 note), of the last Preview or Apply.
  const std::array<KindCounts, 4>& Counts() const { return m_counts; }
  KindCounts Total() const;
  // Items that are none of the four kinds (a VFREEBUSY), with why.
  const std::vector<std::string>& Other() const { return m_other; }
  int ItemCount() const { return static_cast<int>(m_read.items.size()); }
  // The records the last Preview would change, or the last Apply changed and added.
  const std::vector<ImportedRecord>& Records() const { return m_records; }
  const std::string& Path() const { return m_path; }

  // The message for a file that cannot be imported: "FILE: line N: reason".
  static std::string Describe(const std::string& path, int line, const std::string& reason);

 private:
  void Read();
  // The items the reader skipped, counted by kind.
  std::array<KindCounts, 4> SkippedCounts() const;
  class Run;

  std::string m_path;
  bool m_read_done = false;
  ReadResult m_read;
  std::array<KindCounts, 4> m_counts;
  std::vector<std::string> m_other;
  std::vector<ImportedRecord> m_records;
};

}  // namespace Interop
