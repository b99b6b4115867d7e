#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace Interop {

// `--import FILE...`: each file whole or not at all, one line per file on
// `out` ("FILE: added A, updated U, unchanged N, skipped S"), or one on `err`
// naming the file, the line and why. Returns 0 when every file was imported,
// 1 when any was refused.
int ImportFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);

// `--export FILE`: .ics gets every task, event and note, .vcf every contact.
// Returns 0, or 1 with a message on `err`.
int ExportToFile(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace Interop
