#include "app/CommandLine.h"

#include <string>

#include "app/BackupRestore.h"
#include "db/DBL.h"

std::optional<int> RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  if (argc < 2 || std::string(argv[1]) != "--restore") return std::nullopt;
  if (argc > 3) {
    err << "Usage: organizer --restore [FILE]\n";
    return 2;
  }
  const std::string database = DBL::GetDatabasePath();
  if (argc == 2) return BackupRestore::ListBackups(database, out);
  return BackupRestore::Restore(database, argv[2], out);
}
