#pragma once

#include <QStringList>
#include <functional>

class QWidget;

// What Import... and Export... do wherever they are offered (keys, list
// menus, the tray icon's menu, files dropped on the window or handed to the
// running copy).
namespace ExchangeActions {

// The menu items and their tips, which name the keys.
inline constexpr char kImportItem[] = "Import...";
inline constexpr char kImportTip[] = "Import calendar and contact files (Ctrl+I)";
inline constexpr char kExportItem[] = "Export...";
inline constexpr char kExportTip[] = "Export this page or everything (Ctrl+E)";

// The file types offered and accepted: iCalendar, vCalendar and vCard.
bool IsExchangeFile(const QString& path);

// Asks which files to import; none when the person cancels.
QStringList ChooseFilesToImport(QWidget* parent);

// Each file's preview, and the file imported when the person says so: whole
// or not at all, with a progress bar and Cancel when it takes a while.
// `refresh` runs after anything was stored.
void ImportFiles(QWidget* parent, const QStringList& files, const std::function<void()>& refresh);

// Files handed to the program (dropped on its window, or given to it to
// open): the calendar and contact files go as ImportFiles takes them; any
// other is refused, with a message naming it, and nothing of it is read.
void OpenFiles(QWidget* parent, const QStringList& files, const std::function<void()>& refresh);

// Asks where, and whether the current page's kind (0 task, 1 contact, 2
// event, 3 note) or everything, and writes the file.
void ChooseAndExport(QWidget* parent, int currentKind);

}  // namespace ExchangeActions
