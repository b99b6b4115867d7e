#include "views/ExchangeActions.h"

#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <set>

#include "app/Message.h"
#include "db/SQLException.h"
#include "interop/Exporter.h"
#include "interop/Importer.h"
#include "interop/InteropError.h"
#include "interop/UndoableImport.h"
#include "views/DlgImportPreview.h"
#include "views/DlgImportProgress.h"

namespace ExchangeActions {

namespace {

const char* const kImportFilter = "Calendars and contacts (*.ics *.vcs *.vcf);;All files (*)";

// The file's own name, for messages.
std::string Name(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

// Imports the previewed file; false when it was cancelled.
bool Apply(QWidget* parent, Interop::Importer& importer) {
  DlgImportProgress progress(QFileInfo(QString::fromStdString(importer.Path())).fileName(), parent);
  return Interop::ApplyUndoably(importer, [&progress](int done, int total) { return progress.Step(done, total); });
}

}  // namespace

bool IsExchangeFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("ics") || suffix == QLatin1String("vcs") || suffix == QLatin1String("vcf") ||
         suffix == QLatin1String("ical") || suffix == QLatin1String("vcard");
}

QStringList ChooseFilesToImport(QWidget* parent) {
  return QFileDialog::getOpenFileNames(parent, QStringLiteral("Import"), QString(), QString::fromLatin1(kImportFilter));
}

void ImportFiles(QWidget* parent, const QStringList& files, const std::function<void()>& refresh) {
  for (const QString& file : files) {
    Interop::Importer importer(file.toStdString());
    try {
      importer.Preview();
      DlgImportPreview preview(importer, parent);
      if (preview.DoModal() != DlgBase::kIdOk) continue;
      if (Apply(parent, importer) && refresh) refresh();
    } catch (const Interop::InteropError& e) {
      ShowMessage(Interop::Importer::Describe(Name(file), e.Line(), e.what()) + "\n\nNothing of it was imported.",
                  kMessageOkNotice);
    } catch (const DBL::SQLException& e) {
      ShowMessage(Name(file) + " was not imported: the database could not be written (" + e.GetMessage() + ").",
                  kMessageOkNotice);
    }
  }
}

void OpenFiles(QWidget* parent, const QStringList& files, const std::function<void()>& refresh) {
  QStringList accepted;
  QStringList refused;
  for (const QString& file : files) {
    if (IsExchangeFile(file)) {
      accepted << file;
    } else {
      refused << QFileInfo(file).fileName();
    }
  }
  if (!refused.isEmpty()) {
    ShowMessage(refused.join(QStringLiteral(", ")).toStdString() + (refused.size() == 1 ? " was" : " were") +
                    " not imported: only calendar and contact files (.ics, .vcs, .vcf) can be.",
                kMessageOkNotice);
  }
  ImportFiles(parent, accepted, refresh);
}

void ChooseAndExport(QWidget* parent, int currentKind) {
  static const char* const kPages[] = {"Tasks on this page (*.ics)", "Contacts on this page (*.vcf)",
                                       "Dates and events on this page (*.ics)", "Notes on this page (*.ics)"};
  const QString page = QString::fromLatin1(kPages[std::clamp(currentKind, 0, 3)]);
  const QString everything = QStringLiteral("Every task, event and note (*.ics);;Every contact (*.vcf)");
  QString chosen = page;
  QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), QString(),
                                              page + QStringLiteral(";;") + everything, &chosen);
  if (path.isEmpty()) return;
  const bool cards = chosen.contains(QLatin1String("*.vcf"));
  if (QFileInfo(path).suffix().isEmpty()) path += cards ? QStringLiteral(".vcf") : QStringLiteral(".ics");
  const std::set<int> kinds = chosen == page ? std::set<int>{currentKind} : std::set<int>{0, 1, 2, 3};
  try {
    const int count = Interop::ExportFile(path.toStdString(), kinds);
    ShowMessage(std::to_string(count) + (count == 1 ? " record" : " records") + " written to " + Name(path) + ".",
                kMessageNotice);
  } catch (const DBL::SQLException& e) {
    ShowMessage(Name(path) + " was not written: the database could not be read (" + e.GetMessage() + ").",
                kMessageOkNotice);
  } catch (const std::exception& e) {
    ShowMessage(Name(path) + " was not written: " + e.what(), kMessageOkNotice);
  }
}

}  // namespace ExchangeActions
