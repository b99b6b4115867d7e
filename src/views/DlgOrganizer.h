#pragma once

#include <QFont>
#include <QIcon>
#include <QStringList>
#include <QRect>
#include <vector>

#include "app/SyncScheduler.h"
#include "reminders/CSystemTray.h"
#include "ui/DlgBase.h"

class CAutoCombo;
class CButtonST;
class CColorStatic;
class CMyTabCtrl;
class SyncIndicator;
class UndoNotice;
class QSizeGrip;

// The program's one top-level window: a caption-less, tabbed window with its
// own header, icon buttons and "Sort by:" selector, hosting the four record
// views. It owns the tray icon, fades in and out, can stay on top, and scans
// for due reminders once a minute. Closing it ends the program.
class DlgOrganizer : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 102 };
  enum {
    kIdAdd = 1003,
    kIdSort = 1005,
    kIdTabs = 1036,
    kIdDelete = 1037,
    kIdEdit = 1038,
    kIdSettings = 1041,
    kIdHelp = 1042,
    kIdSearch = 1043,
    kIdSyncNow = 1044,
    kIdSyncState = 1047,
    kIdClose = 1045,
    kIdMinimize = 1048,
    kIdSortLabel = 1075,
  };
  enum { kTrayMinimize = 32772, kTrayRestore = 32773, kTrayIconId = 130 };
  // Import... and Export... as the list and tray menus post them.
  enum { kImportCommand = 32774, kExportCommand = 32775 };
  enum { kTimerFirstRun = 0, kTimerFadeInMain = 100, kTimerReminders = 201 };

  explicit DlgOrganizer(QWidget* parent = nullptr);

  // Runs the program's one event loop until the window closes: 1 (OK).
  int DoModal() override;

  int GetCurrentTab() const { return m_currentTab; }
  CMyTabCtrl* GetTabCtrl() const { return m_tabs; }
  CSystemTray& GetTray() { return m_tray; }

  // A number from 10001 to 10000000 that tells installations apart.
  static int DrawInstallId();

  // Import... (Ctrl+I) and Export... (Ctrl+E): the files' previews, then
  // every page shows what was imported.
  void ImportFiles(const QStringList& files);
  void OnImport();
  void OnExport();
  // Files dropped on the window or handed to the running copy: brought to
  // the front, then the previews; files of other kinds are refused.
  void OpenFiles(const QStringList& files);
  // Every page reads its records again, after another process changed them
  // (the sync state too: that process may have synced).
  void RefreshLists();

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnTimer(int id) override;
  void OnPaint(QPainter& painter) override;
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A double click on the header maximises the window, or gives it back its size.
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // Connects to a page as it is made and puts its controls into the Tab order.
  void OnViewMade(int index);
  void SetUpControls();
  void SetUpKeys();
  void ChainFocus();
  void SetUpTab(int index);
  void OnSortChange();
  void SortAsShown();
  void OnSettings();
  void OnCollectionEmptied(int accountId, int collectionId, const QString& name);
  void OnPasswordNeeded(int accountId, const QString& user, const QString& url);
  void ApplyNewColors();
  void OnCommand(unsigned command);
  void MinimizeToTray();
  void RestoreFromTray();
  void ApplyTopmost(bool on);
  void CloseProgram();
  void OnSearch();
  // Takes back the newest change, or with `redo` makes the newest one taken back again.
  void OnUndo(bool redo);
  // Shows the record's page with its row selected, once the page is set up.
  void ShowRecord(int kind, int id, bool edit);
  DlgBase* CurrentView() const;
  // The window can be resized: the pages grow with it, the header buttons
  // keep to the right edge and the bottom row to the bottom edge.
  void SetUpResizing();
  // Size, place and maximised state from the last run, and for the next.
  void RestoreWindowPlace();
  void SaveWindowPlace() const;
  // Once, after the first paint (or at once for a window that starts hidden):
  // what start-up put off so that the window shows sooner.
  void OnWindowUp();
  // The window's icon and the tray icon with its menu, once.
  void ShowIcons();

  // A control and how it follows the window's right and bottom edges.
  struct Anchored {
    QWidget* control;
    QRect laidOut;  // as the template placed it
    bool right;
    bool bottom;
    bool grows;  // stretched to both edges instead of moved
  };
  std::vector<Anchored> m_anchored;
  QSize m_laidOutSize;
  QSizeGrip* m_grip = nullptr;

  CSystemTray m_tray;
  CButtonST* m_addButton;
  CButtonST* m_deleteButton;
  CButtonST* m_editButton;
  CButtonST* m_settingsButton;
  CMyTabCtrl* m_tabs;
  CButtonST* m_helpButton;
  CButtonST* m_searchButton;
  CButtonST* m_syncButton;
  CColorStatic* m_syncState;
  SyncScheduler m_sync;
  SyncIndicator* m_syncIndicator;
  UndoNotice* m_undoNotice;
  CButtonST* m_closeButton;
  CButtonST* m_minimizeButton;
  CColorStatic* m_sortLabel;
  QFont m_headerFont;
  int m_currentTab = 0;
  CAutoCombo* m_sort;
  QIcon m_icon;
  bool m_closing = false;
  bool m_windowUp = false;
  // The page to set up once the window is up; -1 for none.
  int m_deferredTab = -1;
};
