#include "interop/ExchangeCommands.h"

#include <exception>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/SQLException.h"
#include "interop/Exporter.h"
#include "interop/Importer.h"
#include "interop/InteropError.h"

namespace Interop {

namespace {

// The database as the program opens it; a message when it cannot be used.
bool Ready(std::ostream& err) {
  const std::string problem = DBL::PrepareDatabase(DBL::GetDatabasePath());
  if (problem.empty()) return true;
  err << problem << "\n";
  return false;
}

}  // namespace

int ImportFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
  if (!Ready(err)) return 1;
  int code = 0;
  for (const std::string& file : files) {
    Importer importer(file);
    try {
      importer.Apply();
      const KindCounts total = importer.Total();
      out << file << ": added " << total.added << ", updated " << total.updated << ", unchanged " << total.unchanged
          << ", skipped " << total.skipped << "\n";
    } catch (const InteropError& e) {
      err << Importer::Describe(file, e.Line(), e.what()) << "\n";
      code = 1;
    } catch (const DBL::SQLException& e) {
      err << Importer::Describe(file, 0, "nothing of it was stored: the database could not be written (" +
                                             e.GetMessage() + ")")
          << "\n";
      code = 1;
    }
  }
  return code;
}

int ExportToFile(const std::string& file, std::ostream& out, std::ostream& err) {
  if (!Ready(err)) return 1;
  try {
    const int count = ExportFile(file);
    out << file << ": exported " << count << "\n";
    return 0;
  } catch (const DBL::SQLException& e) {
    err << file << ": not written: the database could not be read (" << e.GetMessage() << ")\n";
  } catch (const std::exception& e) {
    err << file << ": not written: " << e.what() << "\n";
  }
  return 1;
}

}  // namespace Interop
