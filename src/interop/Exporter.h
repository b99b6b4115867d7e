#pragma once

#include <set>
#include <string>

namespace Interop {

// Writes records to a file: a name ending in .vcf gets vCard 3.0 (contacts),
// any other iCalendar (tasks, events, notes). `kinds` narrows what is written
// (0 task, 1 contact, 2 event, 3 note); kinds the format does not hold are
// left out. A record unchanged since it was imported is written as it came;
// a changed one has its changed fields written over what it came with.
// The file is written under a temporary name and renamed: never half a file.
// Returns how many records were written; throws std::runtime_error (or
// DBL::SQLException) with the reason when the file could not be written.
int ExportFile(const std::string& path, const std::set<int>& kinds = {0, 1, 2, 3});

// True when the name asks for vCards.
bool IsVCardName(const std::string& path);

}  // namespace Interop
