#include "views/DlgOrganizer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSizeGrip>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <cstdlib>
#include <ctime>
#include <malloc.h>

#include <utility>

#include "app/AppBase.h"
#include "app/Message.h"
#include "app/Paths.h"
#include "db/SQLException.h"
#include "records/UndoHistory.h"
#include "sync/AccountSync.h"
#include "reminders/ReminderScan.h"
#include "search/DlgSearch.h"
#include "views/SyncIndicator.h"
#include "settings/DlgAppSettings.h"
#include "settings/DlgPassword.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/CMyTabCtrl.h"
#include "ui/ColorRef.h"
#include "ui/CommandEvent.h"
#include "ui/OrganizerEvent.h"
#include "ui/ResourceIcons.h"
#include "ui/UiFonts.h"
#include "ui/UserPalette.h"
#include "ui/WindowCapabilities.h"
#include "views/DlgContacts.h"
#include "views/DlgImpDates.h"
#include "views/DlgNotes.h"
#include "views/DlgRecordView.h"
#include "views/DlgTasks.h"
#include "views/UndoNotice.h"
#include "views/ExchangeActions.h"

namespace {

constexpr int kAppIcon = 128;
constexpr int kEmblemIcon = 151;
constexpr int kHoverRed = 0x0000FF;
constexpr int kFirstRunDelayMs = 2000;
constexpr int kFadeInTickMs = 50;
constexpr int kReminderScanMs = 60000;
// The catch-up reads every task and event: done a moment after the window was
// first painted, so that it does not hold up the first sight of it.
constexpr int kCatchUpDelayMs = 300;

UTSettings& Settings() { return GetApp().GetSettings(); }

void SaveSettings() {
  if (Settings().Save() != 0) ShowMessage("The settings could not be saved.", kMessageNotice);
}

// The spaces widen the tabs; they are part of the labels.
const char* const kTabLabels[] = {"     My Tasks    ", "       My Contacts     ", "        My Dates & Events      ",
                                  "        My Notes     "};

struct TabSetUp {
  std::vector<const char*> sortKeys;
  int (UTSettings::*storedSort)() const;
  void (UTSettings::*storeSort)(int);
  const char* addTip;
  const char* editTip;
  const char* deleteTip;
};

const TabSetUp kTabSetUps[] = {
    {{"Task Name", "Date Due", "Priority", "Category"}, &UTSettings::GetTaskSort, &UTSettings::SetTaskSort,
     "Add New Task", "Edit Task", "Delete Task"},
    {{"Last Name", "Category"}, &UTSettings::GetContactSort, &UTSettings::SetContactSort, "Add New Contact",
     "Edit Contact", "Delete Contact"},
    {{}, nullptr, nullptr, "Add New Event", "Edit Event", "Delete Event"},
    {{"Subject", "Last Updated", "Category"}, &UTSettings::GetNoteSort, &UTSettings::SetNoteSort, "Add New Note",
     "Edit Note", "Delete Note"},
};

// False when nothing on this machine (no browser, no handler) took the page.
bool OpenLocalPage(const std::string& path, const QString& query = QString()) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
  if (!query.isEmpty()) url.setQuery(query);
  return QDesktopServices::openUrl(url);
}

// Where the window was is no setting of the user's: it lives beside the program key's file.
QString WindowPlaceFile() {
  return QString::fromStdString(Paths::ConfigHome()) + QStringLiteral("/Tavrin/Orvale Organizer window.conf");
}

void OpenHelp() {
  const std::string page = Paths::HelpPage("index.html");
  if (!OpenLocalPage(page)) {
    ShowMessage("No web browser could open the help page. Open this file in one yourself:\n\n" + page,
                kMessageOkNotice);
  }
}

}  // namespace

DlgOrganizer::DlgOrganizer(QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_addButton(qobject_cast<CButtonST*>(GetDlgItem(kIdAdd))),
      m_deleteButton(qobject_cast<CButtonST*>(GetDlgItem(kIdDelete))),
      m_editButton(qobject_cast<CButtonST*>(GetDlgItem(kIdEdit))),
      m_settingsButton(qobject_cast<CButtonST*>(GetDlgItem(kIdSettings))),
      m_tabs(qobject_cast<CMyTabCtrl*>(GetDlgItem(kIdTabs))),
      m_helpButton(qobject_cast<CButtonST*>(GetDlgItem(kIdHelp))),
      m_searchButton(qobject_cast<CButtonST*>(GetDlgItem(kIdSearch))),
      m_syncButton(qobject_cast<CButtonST*>(GetDlgItem(kIdSyncNow))),
      m_syncState(qobject_cast<CColorStatic*>(GetDlgItem(kIdSyncState))),
      m_syncIndicator(new SyncIndicator(m_sync, m_syncState, m_syncButton, this)),
      m_undoNotice(new UndoNotice(this)),
      m_closeButton(qobject_cast<CButtonST*>(GetDlgItem(kIdClose))),
      m_minimizeButton(qobject_cast<CButtonST*>(GetDlgItem(kIdMinimize))),
      m_sortLabel(qobject_cast<CColorStatic*>(GetDlgItem(kIdSortLabel))),
      m_headerFont(MakeCellFont(QStringLiteral("Times New Roman"), 24, 400)),
      m_sort(qobject_cast<CAutoCombo*>(GetDlgItem(kIdSort))) {
  m_layered = 1;
  setWindowFlag(Qt::Window);  // shown in the taskbar, unlike the other dialogs
  m_tabs->SetViews({[] { return new DlgTasks; }, [] { return new DlgContacts; }, [] { return new DlgImpDates; },
                    [] { return new DlgNotes; }});
  connect(m_tabs, &CMyTabCtrl::viewMade, this, &DlgOrganizer::OnViewMade);

  connect(m_addButton, &QAbstractButton::clicked, this, [this] { CurrentView()->OnAddItem(); });
  connect(m_editButton, &QAbstractButton::clicked, this, [this] { CurrentView()->OnEditItem(); });
  connect(m_deleteButton, &QAbstractButton::clicked, this, [this] { CurrentView()->OnDeleteItems(); });
  connect(m_settingsButton, &QAbstractButton::clicked, this, &DlgOrganizer::OnSettings);
  connect(m_helpButton, &QAbstractButton::clicked, this, OpenHelp);
  connect(m_searchButton, &QAbstractButton::clicked, this, &DlgOrganizer::OnSearch);
  connect(m_syncButton, &QAbstractButton::clicked, &m_sync, &SyncScheduler::SyncNow);
  connect(&m_sync, &SyncScheduler::RecordsChanged, this, &DlgOrganizer::RefreshLists);
  connect(&m_sync, &SyncScheduler::CollectionEmptied, this, &DlgOrganizer::OnCollectionEmptied, Qt::QueuedConnection);
  connect(&m_sync, &SyncScheduler::PasswordNeeded, this, &DlgOrganizer::OnPasswordNeeded, Qt::QueuedConnection);
  connect(m_undoNotice, &UndoNotice::undoClicked, this, [this] { OnUndo(false); });
  connect(m_minimizeButton, &QAbstractButton::clicked, this, [this] { OnCommand(kTrayMinimize); });
  connect(m_closeButton, &QAbstractButton::clicked, this, &DlgOrganizer::CloseProgram);
  connect(m_sort, &CAutoCombo::selChange, this, &DlgOrganizer::OnSortChange);
  // Typing completes a key without choosing it; once the list closes or the
  // box is left, the list is sorted by the key the box shows.
  connect(m_sort, &CAutoCombo::closeUp, this, &DlgOrganizer::SortAsShown);
  connect(m_sort, &CAutoCombo::focusLost, this, &DlgOrganizer::SortAsShown);
  SetUpKeys();
  setAcceptDrops(true);
}

void DlgOrganizer::OnViewMade(int index) {
  if (auto* page = qobject_cast<DlgRecordView*>(m_tabs->FindView(index))) {
    connect(page, &DlgRecordView::recordDeleted, this, [this](const QString& title) {
      m_undoNotice->ShowDeleted(title, m_tabs->geometry());
    });
  }
  ChainFocus();
}

void DlgOrganizer::ImportFiles(const QStringList& files) {
  ExchangeActions::ImportFiles(this, files, [this] { RefreshLists(); });
}

void DlgOrganizer::OpenFiles(const QStringList& files) {
  if (!isVisible() || isMinimized()) RestoreFromTray();
  ExchangeActions::OpenFiles(this, files, [this] { RefreshLists(); });
}

void DlgOrganizer::RefreshLists() {
  // A page not made yet reads its records when it is.
  for (int tab = 0; tab < m_tabs->count(); ++tab) {
    if (DlgBase* view = m_tabs->FindView(tab)) view->RefreshList();
  }
  m_syncIndicator->Update();
}

void DlgOrganizer::OnImport() { ImportFiles(ExchangeActions::ChooseFilesToImport(this)); }

void DlgOrganizer::OnExport() { ExchangeActions::ChooseAndExport(this, m_tabs->GetCurrent()); }

// Files dropped on the window open their previews; other files are taken too,
// so that the drop can say why they are not imported.
void DlgOrganizer::dragEnterEvent(QDragEnterEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      return;
    }
  }
}

void DlgOrganizer::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  event->acceptProposedAction();
  // After the drop has finished: the previews are modal.
  QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

void DlgOrganizer::SetUpKeys() {
  const auto onKeys = [this](std::initializer_list<QKeySequence> keys, auto action) {
    for (const QKeySequence& key : keys) connect(new QShortcut(key, this), &QShortcut::activated, this, action);
  };
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)}, [this] { m_addButton->click(); });
  onKeys({QKeySequence(Qt::Key_F1)}, [this] { m_helpButton->click(); });
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { CloseProgram(); });
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { m_searchButton->click(); });
  onKeys({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}, [this] { m_sync.SyncNow(); });
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { OnUndo(false); });
  onKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, [this] { OnUndo(true); });
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_I)}, [this] { OnImport(); });
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_E)}, [this] { OnExport(); });
  const auto step = [this](int by) { m_tabs->SelectTab((m_tabs->GetCurrent() + by + m_tabs->count()) % m_tabs->count()); };
  onKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab)}, [step] { step(1); });
  onKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_Backtab)},
         [step] { step(-1); });
  for (int tab = 0; tab < 4; ++tab) {
    onKeys({QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + tab))}, [this, tab] { m_tabs->SelectTab(tab); });
  }
  m_addButton->SetKeyHint(QStringLiteral("Ctrl+N, Insert"));
  m_deleteButton->SetKeyHint(QStringLiteral("Delete"));
  m_editButton->SetKeyHint(QStringLiteral("Enter, F2"));
  m_helpButton->SetKeyHint(QStringLiteral("F1"));
  m_searchButton->SetKeyHint(QStringLiteral("Ctrl+F"));
  m_syncButton->SetKeyHint(QStringLiteral("F5, Ctrl+R"));
  m_deleteButton->SetKeyHint(QStringLiteral("Delete; Ctrl+Z undoes"));
  m_closeButton->SetKeyHint(QStringLiteral("Ctrl+Q"));
}

// Tab walks the current page's controls, the buttons, the selector and the
// tabs, and then the page again; the hidden pages drop out by themselves.
// Chained again as each page is made.
void DlgOrganizer::ChainFocus() {
  std::vector<QWidget*> chain;
  for (int tab = 0; tab < m_tabs->count(); ++tab) {
    const DlgBase* view = m_tabs->FindView(tab);
    if (!view) continue;
    for (QWidget* control : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control->focusPolicy() & Qt::TabFocus) chain.push_back(control);
    }
  }
  for (QWidget* control : std::initializer_list<QWidget*>{m_addButton, m_deleteButton, m_editButton, m_sort,
                                                          m_settingsButton, m_syncButton, m_searchButton, m_helpButton,
                                                          m_tabs}) {
    chain.push_back(control);
  }
  // The window's chain is a ring: after the tabs, Tab comes round to the page.
  for (size_t i = 0; i + 1 < chain.size(); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
  // The caption buttons are for the mouse; Ctrl+Q and the window manager close.
  for (CButtonST* button : {m_minimizeButton, m_closeButton}) button->setFocusPolicy(Qt::ClickFocus);
}

// The loop of a modal dialog, without the modality: an application-modal main
// window would block every reminder pop-up, which has no owner.
int DlgOrganizer::DoModal() {
  Create();
  QEventLoop loop;
  connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
  show();
  loop.exec(QEventLoop::DialogExec);
  return result() == kIdOk ? kIdOk : kIdCancel;
}

bool DlgOrganizer::OnInitDialog() {
  InitDialogBase(kTemplateId);
  setWindowTitle(Paths::kAppName);
  // Each start lists tasks by name, whatever order was chosen last time.
  Settings().SetTaskSort(0);

  SetLayeredAlpha(0);
  const bool startHidden = Settings().GetMinStartup() != 0;
  // The window is shown by the modal loop; hide it once that has happened.
  if (startHidden) QCoreApplication::postEvent(this, new CommandEvent(kTrayMinimize));
  if (Settings().GetStayOnTop()) ApplyTopmost(true);

  if (Settings().GetInstallId() == 0) {
    Settings().SetInstallId(DrawInstallId());
    Settings().MirrorToRegistry();
    SaveSettings();
    StartTimer(kTimerFirstRun, kFirstRunDelayMs);
  }

  m_tabs->SetOwner(this);
  m_tabs->setFont(GetTextFont());
  SetUpControls();
  for (const char* label : kTabLabels) m_tabs->addTab(QString::fromUtf8(label));
  m_tabs->CreateViews();
  ChainFocus();
  SetUpResizing();
  RestoreWindowPlace();

  if (!startHidden) StartTimer(kTimerFadeInMain, kFadeInTickMs);
  StartTimer(kTimerReminders, kReminderScanMs);
  // A window that starts hidden may never paint, and goes to the tray at once.
  if (startHidden) {
    ShowIcons();
    OnWindowUp();
  }
  return true;
}

int DlgOrganizer::DrawInstallId() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int id = 0;
  while (id <= 10000 || id > 10000000) {
    id = 0;
    for (int draw = 0; draw < 306; ++draw) id += std::rand() % 32767;
  }
  return id;
}

void DlgOrganizer::SetUpControls() {
  const UTSettings& settings = Settings();
  m_sort->SetItemColor(settings.GetClrText(), CAutoCombo::kColorText);
  // A pick list shows its choice on the window's background, where the text colour reads.
  QPalette sortColors = m_sort->palette();
  sortColors.setColor(QPalette::Base, ColorFromRef(settings.GetClrBackground()));
  m_sort->setPalette(sortColors);
  m_sort->setFont(GetTextFont());
  m_sortLabel->setFont(GetButtonFont());
  m_sortLabel->SetBackColor(settings.GetClrBackground());
  m_sortLabel->SetForeColor(settings.GetClrText());

  const std::pair<CButtonST*, std::pair<int, const char*>> iconButtons[] = {
      {m_addButton, {163, "Add"}},         {m_deleteButton, {166, "Delete"}}, {m_editButton, {165, "View and Edit"}},
      {m_settingsButton, {142, "Settings"}}, {m_helpButton, {140, "Help"}}, {m_searchButton, {143, "Search"}},
      {m_syncButton, {144, "Sync Now"}},
  };
  for (const auto& [button, look] : iconButtons) {
    button->MakeTransparent();
    button->setText(QString());
    button->LoadButtonIcons(look.first, 0);
    button->SetTipText(QString::fromUtf8(look.second), true);
  }
  m_undoNotice->ApplyColors(GetTextFont());
  for (const auto& [button, tip] : {std::pair{m_minimizeButton, "Minimize"}, std::pair{m_closeButton, "Close"}}) {
    button->SetCaptionFont(&GetCaptionButtonFont());
    button->SetTipText(QString::fromUtf8(tip), true);
    button->MakeTransparent();
    button->SetStateColor(CButtonST::kColorFgIn, kHoverRed);
    button->SetStateColor(CButtonST::kColorFgOut, settings.GetClrText());
  }
}

// A server that suddenly holds nothing may have lost its data rather than
// had it deleted on purpose, so the person decides; putting the items back is
// the answer that loses nothing, and Enter alone gives it.
void DlgOrganizer::OnCollectionEmptied(int accountId, int collectionId, const QString& name) {
  const std::string question = "The collection \"" + name.toStdString() +
                               "\" came back empty from the server, while its items are still here. Nothing was "
                               "deleted.\n\nDelete them here too? No puts them back on the server.";
  const bool deleteHere = ShowMessage(question, kMessageYesNoCaution) == 1;
  try {
    if (Sync::AnswerEmptyCollection(collectionId, deleteHere ? Sync::EmptyAnswer::kDeleteHere
                                                             : Sync::EmptyAnswer::kPutBack) < 0) {
      return;  // another copy is syncing: the next sync asks again
    }
  } catch (const DBL::SQLException& e) {
    ShowMessage("The answer could not be stored: " + e.GetMessage(), kMessageOkNotice);
    return;
  }
  if (deleteHere) RefreshLists();
  m_sync.SyncAccountNow(accountId);
}

// Without a Secret Service the password lives only as long as the program:
// each run asks once. Cancel leaves the account waiting for Sync Now.
void DlgOrganizer::OnPasswordNeeded(int accountId, const QString& user, const QString& url) {
  DlgPassword dialog(user, url, this);
  if (dialog.DoModal() == kIdOk) m_sync.GivePassword(accountId, dialog.GetPassword());
}

void DlgOrganizer::OnSettings() {
  // Owned by this window, so that the window manager keeps it above this one,
  // also while this one stays on top.
  DlgAppSettings dialog(&Settings(), this);
  dialog.SetSyncScheduler(&m_sync);
  if (dialog.DoModal() == kIdOk) {
    Settings().Save();
    update();
    SetUpControls();
    ApplyNewColors();
    InvalidateChildren();
    ApplyTopmost(Settings().GetStayOnTop() != 0);
  }
  m_tabs->setFocus();
}

// Controls copy the user's colours when they are made; after the settings
// changed, these take the new ones, so that a restart is not needed to see them.
void DlgOrganizer::ApplyNewColors() {
  ApplyUserPalette(Settings());
  m_sort->SetItemColor(Settings().GetClrHighlight(), CAutoCombo::kColorSelectedBackground);
  m_tabs->ApplyColors();
  // A page made later takes the colours as it is made.
  for (int index = 0; index < m_tabs->count(); ++index) {
    DlgBase* view = m_tabs->FindView(index);
    if (!view) continue;
    if (auto* page = qobject_cast<DlgRecordView*>(view)) page->ApplyColors();
    view->InvalidateChildren();
  }
}

void DlgOrganizer::OnSearch() {
  DlgSearch search(this);
  if (search.DoModal() == kIdOk) {
    ShowRecord(search.GetChosenKind(), search.GetChosenId(), true);
  } else {
    m_tabs->setFocus();
  }
}

// The page is set up by a posted message when it becomes current; the row is
// chosen after that, or the set-up would select its first row again.
void DlgOrganizer::ShowRecord(int kind, int id, bool edit) {
  m_tabs->SelectTab(kind);
  QTimer::singleShot(0, this, [this, kind, id, edit] {
    auto* page = qobject_cast<DlgRecordView*>(m_tabs->GetView(kind));
    if (!page || !page->SelectRecord(id)) return;
    page->FocusList();
    if (edit) page->OnEditItem();
  });
}

void DlgOrganizer::OnUndo(bool redo) {
  UndoStep step;
  const int rc = redo ? UndoHistory::Program().Redo(&step) : UndoHistory::Program().Undo(&step);
  if (rc == 1) return;  // nothing to take back
  if (rc != 0) {
    ShowMessage(redo ? "The change could not be made again: the file could not be written."
                     : "The change could not be undone: the file could not be written.",
                kMessageOkNotice);
    return;
  }
  m_undoNotice->hide();
  RefreshLists();
  // A single record that is there again is shown on its page.
  const std::vector<RecordSnapshot>& records = redo ? step.after : step.before;
  if (records.size() == 1 && records.front().Exists()) ShowRecord(records.front().kind, records.front().id, false);
}

DlgBase* DlgOrganizer::CurrentView() const { return m_tabs->GetView(m_currentTab); }

void DlgOrganizer::SetUpResizing() {
  m_laidOutSize = size();
  setMinimumSize(m_laidOutSize);  // the template's size is the least the controls fit in
  const auto anchor = [this](QWidget* control, bool right, bool bottom, bool grows) {
    m_anchored.push_back({control, control->geometry(), right, bottom, grows});
  };
  anchor(m_tabs, false, false, true);
  for (QWidget* control : std::initializer_list<QWidget*>{m_addButton, m_deleteButton, m_editButton, m_sortLabel, m_sort}) {
    anchor(control, false, true, false);
  }
  anchor(m_settingsButton, true, true, false);
  for (QWidget* control : std::initializer_list<QWidget*>{m_syncState, m_syncButton, m_searchButton, m_helpButton,
                                                          m_minimizeButton, m_closeButton}) {
    anchor(control, true, false, false);
  }
  // A caption-less window has no borders to drag: a grip in its corner.
  m_grip = new QSizeGrip(this);
  m_grip->setAccessibleName(QStringLiteral("Resize"));
  m_grip->resize(m_grip->sizeHint());
}

void DlgOrganizer::resizeEvent(QResizeEvent* event) {
  DlgBase::resizeEvent(event);
  if (m_laidOutSize.isEmpty()) return;
  const int dx = width() - m_laidOutSize.width();
  const int dy = height() - m_laidOutSize.height();
  for (const Anchored& item : m_anchored) {
    QRect place = item.laidOut;
    if (item.grows) {
      place.adjust(0, 0, dx, dy);
    } else {
      place.translate(item.right ? dx : 0, item.bottom ? dy : 0);
    }
    item.control->setGeometry(place);
  }
  if (m_grip) m_grip->move(width() - m_grip->width() - 2, height() - m_grip->height() - 2);
  update();  // the frame and header are drawn along the edges
}

void DlgOrganizer::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->position().y() >= m_tabs->y()) {
    DlgBase::mouseDoubleClickEvent(event);
    return;
  }
  if (isMaximized()) {
    showNormal();
  } else {
    showMaximized();
  }
}

void DlgOrganizer::RestoreWindowPlace() {
  const QByteArray place = QSettings(WindowPlaceFile(), QSettings::IniFormat).value("geometry").toByteArray();
  if (!place.isEmpty()) restoreGeometry(place);
}

void DlgOrganizer::SaveWindowPlace() const {
  QSettings file(WindowPlaceFile(), QSettings::IniFormat);
  file.setValue("geometry", saveGeometry());
}

void DlgOrganizer::SetUpTab(int index) {
  const TabSetUp& setUp = kTabSetUps[index];
  m_currentTab = index;
  m_sort->ResetItems();
  m_sort->show();
  m_sortLabel->show();
  if (setUp.sortKeys.empty()) {
    m_sort->hide();
    m_sortLabel->hide();
  } else {
    for (size_t key = 0; key < setUp.sortKeys.size(); ++key) {
      m_sort->SetItemValue(m_sort->AddItem(QString::fromUtf8(setUp.sortKeys[key])), static_cast<int>(key));
    }
    // Choosing the stored key runs the sort change, which reloads the page.
    m_sort->SelectItem((Settings().*setUp.storedSort)());
    m_sort->setFocus();
  }
  m_addButton->SetTipText(QString::fromUtf8(setUp.addTip), true);
  m_editButton->SetTipText(QString::fromUtf8(setUp.editTip), true);
  m_deleteButton->SetTipText(QString::fromUtf8(setUp.deleteTip), true);
  m_tabs->setFocus();
}

void DlgOrganizer::OnSortChange() {
  const TabSetUp& setUp = kTabSetUps[m_currentTab];
  if (setUp.storeSort) (Settings().*setUp.storeSort)(m_sort->GetItemValue(m_sort->GetSelectedItem()));
  QCoreApplication::postEvent(this, new OrganizerEvent(OrganizerEvent::kSaveSettings));
  CurrentView()->RefreshList();
}

void DlgOrganizer::SortAsShown() {
  const TabSetUp& setUp = kTabSetUps[m_currentTab];
  if (setUp.storedSort && m_sort->GetItemValue(m_sort->GetSelectedItem()) != (Settings().*setUp.storedSort)()) {
    OnSortChange();
  }
}

bool DlgOrganizer::event(QEvent* event) {
  switch (static_cast<int>(event->type())) {
    case OrganizerEvent::kTabChanged:
      if (m_windowUp) {
        SetUpTab(static_cast<OrganizerEvent*>(event)->WParam());
      } else {
        m_deferredTab = static_cast<OrganizerEvent*>(event)->WParam();
      }
      return true;
    case OrganizerEvent::kSaveSettings:
      SaveSettings();
      return true;
    case OrganizerEvent::kEditCurrent:
      CurrentView()->OnEditItem();
      return true;
    case CommandEvent::kType:
      OnCommand(static_cast<CommandEvent*>(event)->Command());
      return true;
    default:
      return DlgBase::event(event);
  }
}

void DlgOrganizer::OnCommand(unsigned command) {
  if (command == kTrayMinimize) MinimizeToTray();
  if (command == kTrayRestore) RestoreFromTray();
  if (command == kImportCommand || command == kExportCommand) {
    // From the tray the window may be hidden: its dialogs open over it.
    if (!isVisible() || isMinimized()) RestoreFromTray();
    if (command == kImportCommand) OnImport();
    if (command == kExportCommand) OnExport();
  }
}

void DlgOrganizer::MinimizeToTray() {
  CSystemTray::SendToTray(this, false);
  m_tray.SetDoubleClickCommand(kTrayRestore, false);
}

void DlgOrganizer::RestoreFromTray() {
  CSystemTray::RestoreFromTray(this, false);
  m_tray.SetDoubleClickCommand(kTrayMinimize, false);
  m_tabs->setFocus();
}

void DlgOrganizer::OnTimer(int id) {
  DlgBase::OnTimer(id);
  switch (id) {
    case kTimerFirstRun:
      KillTimer(kTimerFirstRun);
      // A greeting: without a browser it is simply not shown.
      OpenLocalPage(Paths::HelpPage("welcome.html"), QStringLiteral("id=%1").arg(Settings().GetInstallId()));
      break;
    case kTimerFadeInMain:
      for (int n = 0; n <= 100; n += 2) SetLayeredAlpha(n * 255 / 100);
      KillTimer(kTimerFadeInMain);
      break;
    case kTimerReminders:
      ReminderScan();
      break;
    default:
      break;
  }
}

// Enter and Escape never close the main window.
void DlgOrganizer::OnOK() {}

void DlgOrganizer::OnCancel() {}

void DlgOrganizer::CloseProgram() {
  if (m_closing) return;
  m_closing = true;
  SaveWindowPlace();
  FadeOut();
  m_tray.RemoveFromTray();
  DlgBase::OnOK();
}

// The window manager's close (Alt+F4, the taskbar's menu) ends the program like "X".
void DlgOrganizer::closeEvent(QCloseEvent* event) {
  CloseProgram();
  event->accept();
}

void DlgOrganizer::changeEvent(QEvent* event) {
  DlgBase::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    SetLayeredAlpha(255);
    m_tabs->setFocus();
  } else if (event->type() == QEvent::WindowStateChange && isMinimized() &&
             QSystemTrayIcon::isSystemTrayAvailable()) {
    // Minimised by the window manager: into the tray, as the "-" button does.
    FadeOut();
    OnCommand(kTrayMinimize);
  }
}

void DlgOrganizer::showEvent(QShowEvent* event) {
  DlgBase::showEvent(event);
  if (Settings().GetStayOnTop()) ApplyTopmost(true);
}

// Re-centres the window whether it stays on top or not: the program keeps no window position.
void DlgOrganizer::ApplyTopmost(bool on) {
  // Where windows cannot stay above others, the compositor also places them.
  if (!WindowCapabilities::Current().stayOnTop) return;
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != on) {
    // Changing the flags the usual way hides the window for a moment, and
    // hiding it would end the modal loop and so the program: the window
    // system is told directly instead.
    const Qt::WindowFlags flags = windowFlags() ^ Qt::WindowStaysOnTopHint;
    overrideWindowFlags(flags);
    if (QWindow* handle = windowHandle()) handle->setFlags(flags);
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  }
}

// Filling the first page (ten thousand tasks are read, sorted and styled) and
// the missed-reminder catch-up wait until the window is on the screen: the
// window shows at once and its list fills right after.
void DlgOrganizer::OnWindowUp() {
  if (m_windowUp) return;
  m_windowUp = true;
  m_syncIndicator->Update();
  // Syncs start once the window is up, never before it.
  QTimer::singleShot(0, &m_sync, &SyncScheduler::Start);
  // After this paint has reached the screen.
  QTimer::singleShot(0, this, [this] {
    ShowIcons();
    if (m_deferredTab >= 0) SetUpTab(std::exchange(m_deferredTab, -1));
    // Reminders missed while the program was not running come once the list
    // is filled and painted: counted from here, not from the first paint, so
    // that a long fill does not run into the catch-up before its rows show.
    QTimer::singleShot(kCatchUpDelayMs, this, [] {
      CatchUpMissedReminders();
      // The data store keeps freed memory for the next large list, but what
      // start-up read and let go of is not needed again soon: back to the system.
      malloc_trim(0);
    });
  });
}

// The icon is drawn in every size the window system may ask for, and whether
// there is a tray to show it in is asked over the session bus: neither is
// worth holding up the first sight of the window.
void DlgOrganizer::ShowIcons() {
  if (!m_icon.isNull()) return;
  m_icon = ResourceIcon(kAppIcon);
  setWindowIcon(m_icon);
  m_tray.AddToTray(this, Paths::kAppName, m_icon, kTrayIconId, false);
  m_tray.SetTargetWindow(this);
  m_tray.SetShowHideCommands(kTrayRestore, kTrayMinimize);
  m_tray.AddCommand(QString::fromLatin1(ExchangeActions::kImportItem), QString::fromLatin1(ExchangeActions::kImportTip),
                    kImportCommand);
  m_tray.AddCommand(QString::fromLatin1(ExchangeActions::kExportItem), QString::fromLatin1(ExchangeActions::kExportTip),
                    kExportCommand);
}

void DlgOrganizer::OnPaint(QPainter& painter) {
  OnWindowUp();
  painter.drawPixmap(3, 3, ResourcePixmap(kEmblemIcon));
  painter.setPen(ColorFromRef(Settings().GetClrText()));
  painter.setFont(m_headerFont);
  painter.drawText(QPoint(42, 7 + QFontMetrics(m_headerFont).ascent()), QString::fromUtf8(Paths::kAppName));
  DrawFrame(painter);
}
