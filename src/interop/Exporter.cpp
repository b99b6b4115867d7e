#include "interop/Exporter.h"

#include <QSaveFile>
#include <QString>
#include <set>
#include <stdexcept>
#include <vector>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/Transaction.h"
#include "interop/CalendarMapping.h"
#include "interop/RecordTexts.h"

namespace Interop {

bool IsVCardName(const std::string& path) {
  return QString::fromStdString(path).endsWith(".vcf", Qt::CaseInsensitive) ||
         QString::fromStdString(path).endsWith(".vcard", Qt::CaseInsensitive);
}

int ExportFile(const std::string& path, const std::set<int>& kinds) {
  const bool cards = IsVCardName(path);
  // Records made since the file opened get their UIDs now, when the file can be written.
  DBL::UpdateIdentities(DBL::GetDatabasePath());
  std::vector<std::string> texts;
  DBL::RunTransaction(
      [&](DBL::Transaction& transaction) {
        RecordTexts writer(transaction);
        if (cards) {
          if (!kinds.count(1)) return;
          for (const ContactRecord& c : ListContacts(transaction)) texts.push_back(writer.Text(c));
          return;
        }
        if (kinds.count(0)) {
          const std::vector<TaskRecord> tasks = ListTasks(transaction);
          writer.Prepare(tasks);
          for (const TaskRecord& t : tasks) texts.push_back(writer.Text(t));
        }
        if (kinds.count(2)) {
          const std::vector<EventRecord> events = ListEvents(transaction);
          writer.Prepare(events);
          for (const EventRecord& e : events) texts.push_back(writer.Text(e));
        }
        if (kinds.count(3)) {
          for (const NoteRecord& n : ListNotes(transaction)) texts.push_back(writer.Text(n));
        }
      },
      false);

  std::string file;
  if (cards) {
    size_t size = 0;
    for (const std::string& text : texts) size += text.size();
    file.reserve(size);
    for (const std::string& text : texts) file += text;
  } else {
    file = CalendarFile(texts);
  }
  QSaveFile out(QString::fromStdString(path));
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(file.data(), static_cast<qint64>(file.size())) != static_cast<qint64>(file.size()) || !out.commit()) {
    throw std::runtime_error(out.errorString().toStdString());
  }
  return static_cast<int>(texts.size());
}

}  // namespace Interop
