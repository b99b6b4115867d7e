#include "editors/WriteFailure.h"

#include <QFileInfo>

#include "db/DBL.h"

std::string WriteFailureReason() {
  const std::string path = DBL::GetDatabasePath();
  const QFileInfo file(QString::fromStdString(path));
  if (!file.exists()) return "the organizer database " + path + " is missing.";
  if (!file.isWritable()) return "the organizer database " + path + " is read-only.";
  // SQLite writes its journal beside the file.
  if (!QFileInfo(file.absolutePath()).isWritable()) {
    return "the folder of the organizer database, " + file.absolutePath().toStdString() + ", is read-only.";
  }
  return "the organizer database refused the change. It may be in use by another program, damaged, or its disk "
         "may be full.";
}

std::string NotSavedText(const std::string& what) { return "The " + what + " was not saved: " + WriteFailureReason(); }
