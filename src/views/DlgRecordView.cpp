#include "views/DlgRecordView.h"

#include <QCoreApplication>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "app/AppBase.h"
#include "app/Message.h"
#include "ui/CColorHeaderCtrl.h"
#include "ui/CColorListCtrl.h"
#include "ui/CommandEvent.h"
#include "ui/OrganizerEvent.h"
#include "views/DlgOrganizer.h"
#include "views/ExchangeActions.h"

DlgRecordView::DlgRecordView(int templateId, int listId, int kind, const Texts& texts)
    : DlgBase(templateId), m_list(qobject_cast<CColorListCtrl*>(GetDlgItem(listId))), m_kind(kind), m_texts(texts) {
  m_draggable = 0;
  m_list->setAccessibleName(QString::fromUtf8(texts.listName));
  // The keys of the main window's Delete and Edit buttons, while the list has the focus.
  const auto onKeys = [this](std::initializer_list<QKeySequence> keys, void (DlgRecordView::*operation)()) {
    for (const QKeySequence& key : keys) {
      auto* shortcut = new QShortcut(key, m_list, nullptr, nullptr, Qt::WidgetShortcut);
      connect(shortcut, &QShortcut::activated, this, operation);
    }
  };
  onKeys({QKeySequence(Qt::Key_Delete)}, &DlgRecordView::OnDeleteItems);
  onKeys({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_F2)},
         &DlgRecordView::OnEditItem);
  // A double click edits the row through the main window, after the click is done.
  connect(m_list, &QAbstractItemView::doubleClicked, this, [this] {
    QCoreApplication::postEvent(window(), new OrganizerEvent(OrganizerEvent::kEditCurrent));
  });
  m_list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_list, &QWidget::customContextMenuRequested, this, &DlgRecordView::ShowListMenu);
}

void DlgRecordView::ShowListMenu(const QPoint& at) {
  QMenu menu(this);
  menu.setToolTipsVisible(true);
  const auto add = [this, &menu](const char* text, const char* tip, const QKeySequence& key, unsigned command) {
    QAction* action = menu.addAction(QString::fromLatin1(text));
    action->setToolTip(QString::fromLatin1(tip));
    // Shown beside the item; the main window's own shortcut does the work.
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcutVisibleInContextMenu(true);
    // Posted: the file dialog opens once the menu has gone.
    connect(action, &QAction::triggered, this,
            [this, command] { QCoreApplication::postEvent(window(), new CommandEvent(command)); });
  };
  add(ExchangeActions::kImportItem, ExchangeActions::kImportTip, QKeySequence(Qt::CTRL | Qt::Key_I),
      DlgOrganizer::kImportCommand);
  add(ExchangeActions::kExportItem, ExchangeActions::kExportTip, QKeySequence(Qt::CTRL | Qt::Key_E),
      DlgOrganizer::kExportCommand);
  menu.exec(m_list->viewport()->mapToGlobal(at));
}

void DlgRecordView::SetUpList(const std::vector<Column>& columns) {
  for (size_t c = 0; c < columns.size(); ++c) {
    m_list->InsertColumn(QString::fromUtf8(columns[c].caption), static_cast<int>(c));
    m_widths.push_back(columns[c].width);
  }
  FitColumns();
  m_list->setFont(GetTextFont());
  m_list->SetGridLines(true);
  ApplyListColors();
}

void DlgRecordView::ApplyColors() { ApplyListColors(); }

void DlgRecordView::ApplyListColors() {
  const UTSettings& settings = GetApp().GetSettings();
  m_list->SetTextColor(settings.GetClrText());
  m_list->SetSelectedTextColor(settings.GetClrText());
  m_list->SetSelectedBkColor(settings.GetClrHighlight());
  m_list->GetHeaderCtrl()->SetFrameColor(settings.GetClrHighlight());
}

DlgRecordView::ListPlace DlgRecordView::SavePlace() const {
  const int row = m_list->GetFirstSelectedRow();
  return {m_list->GetItemValue(row), row, m_list->verticalScrollBar()->value()};
}

void DlgRecordView::RestorePlace(const ListPlace& place) {
  const int count = m_list->GetItemCount();
  if (count == 0) return;
  int row = -1;
  for (int r = 0; r < count && place.id >= 0 && row < 0; ++r) {
    if (m_list->GetItemValue(r) == place.id) row = r;
  }
  if (row < 0) row = std::clamp(place.row, 0, count - 1);
  m_list->doItemsLayout();  // the scroll range of the new rows
  m_list->verticalScrollBar()->setValue(place.scroll);
  SelectAndShow(row);
}

void DlgRecordView::SelectAndShow(int row) {
  m_list->SelectRow(row);
  m_list->scrollTo(m_list->model()->index(row, 0));
}

void DlgRecordView::resizeEvent(QResizeEvent* event) {
  DlgBase::resizeEvent(event);
  const int margin = m_list->y();
  const QPoint topLeft = m_list->pos();
  m_list->resize(std::max(0, width() - topLeft.x() - margin), std::max(0, height() - topLeft.y() - margin));
  FitColumns();
}

// Every column stays inside the list: when the chosen widths are too wide the
// widest column, the record's name, gives way, down to a third of the list;
// past that all of them shrink alike. A hidden column takes no room.
void DlgRecordView::FitColumns() {
  // From the list's own width: a hidden list lays out its viewport only once shown.
  const int available = m_list->width() - 2 * m_list->frameWidth();
  if (m_widths.empty() || available <= 0) return;
  std::vector<int> widths = m_widths;
  for (size_t c = 0; c < widths.size(); ++c) {
    if (m_list->isColumnHidden(static_cast<int>(c))) widths[c] = 0;
  }
  const auto name = std::max_element(widths.begin(), widths.end());
  const int others = std::accumulate(widths.begin(), widths.end(), 0) - *name;
  if (*name + others > available) *name = std::max(available / 3, available - others);
  const int total = *name + others;
  for (size_t c = 0; c < widths.size(); ++c) {
    if (widths[c] == 0) continue;
    m_list->setColumnWidth(static_cast<int>(c), total > available ? widths[c] * available / total : widths[c]);
  }
}

void DlgRecordView::ShowColumn(int column, bool shown) {
  m_list->setColumnHidden(column, !shown);
  FitColumns();
}

int DlgRecordView::RowToEdit() const { return m_list->GetFirstSelectedRow(); }

int DlgRecordView::RowKind(int) const { return m_kind; }

const DlgRecordView::Texts& DlgRecordView::RowTexts(int) const { return m_texts; }

int DlgRecordView::PriorityColor(int priorityId) {
  const UTSettings& settings = GetApp().GetSettings();
  if (priorityId == 1) return settings.GetClrHiPrior();
  if (priorityId == 2) return settings.GetClrMedPrior();
  return settings.GetClrLoPrior();
}

void DlgRecordView::OnAddItem() {
  if (RunEditor(true, -1)) {
    OnRecordAdded();
    std::unordered_set<int> before;
    for (int row = 0; row < m_list->GetItemCount(); ++row) before.insert(m_list->GetItemValue(row));
    RefreshList();
    // The new record is the one id the list did not have.
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
      if (!before.count(m_list->GetItemValue(row))) {
        SelectAndShow(row);
        break;
      }
    }
  }
  FocusList();
}

void DlgRecordView::OnDeleteItems() {
  const int row = m_list->GetFirstSelectedRow();
  if (row < 0) {
    ShowMessage(m_texts.nothingToDelete, kMessageNotice);
  } else if (ShowMessage(RowTexts(row).confirmDelete, kMessageYesNo) == 1) {
    DeleteRow(row);
    RefreshList();
  }
  FocusList();
}

void DlgRecordView::DeleteRow(int row) {
  const int id = m_list->GetItemValue(row);
  const RecordSnapshot before = TakeSnapshot(RowKind(row), id);
  if (DeleteRecord(id) != 0) {
    ShowMessage(RowTexts(row).deleteFailed, kMessageOkNotice);
  } else if (before.Exists()) {
    UndoHistory::Program().Record({UndoStep::kDelete, {before}, {before.Absent()}});
    emit recordDeleted(QString::fromStdString(before.Title()));
  }
}

void DlgRecordView::OnEditItem() {
  const int row = RowToEdit();
  if (row < 0) {
    ShowMessage(m_texts.nothingToEdit, kMessageNotice);
  } else {
    const int id = m_list->GetItemValue(row);
    RecordSnapshot before = TakeSnapshot(RowKind(row), id);
    m_detachedByEdit = 0;
    if (RunEditor(false, id)) {
      RecordChange(UndoStep::kEdit, std::move(before), m_detachedByEdit);
      RefreshList();
    }
  }
  FocusList();
}

void DlgRecordView::RecordChange(UndoStep::Kind kind, RecordSnapshot before, int made) {
  if (!before.Exists()) return;  // read from a file that could not be read: nothing to go back to
  const int recordKind = before.kind;
  RecordSnapshot after = TakeSnapshot(recordKind, before.id);
  if (!after.Exists()) return;
  UndoStep step{kind, {}, {}};
  if (after != before) {
    step.before.push_back(std::move(before));
    step.after.push_back(std::move(after));
  }
  if (made > 0) {
    RecordSnapshot added = TakeSnapshot(recordKind, made);
    step.before.push_back(added.Absent());
    step.after.push_back(std::move(added));
  }
  if (!step.after.empty()) UndoHistory::Program().Record(std::move(step));
}

bool DlgRecordView::SelectRecord(int id) {
  for (int row = 0; row < m_list->GetItemCount(); ++row) {
    if (m_list->GetItemValue(row) == id) {
      m_list->SelectRow(row);
      return true;
    }
  }
  return false;
}

void DlgRecordView::FocusList() {
  if (m_list) m_list->setFocus();
}
