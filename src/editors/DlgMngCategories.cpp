#include "editors/DlgMngCategories.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QShortcut>

#include "app/AppBase.h"
#include "app/Message.h"
#include "app/Paths.h"
#include "editors/EditorControls.h"
#include "editors/WriteFailure.h"
#include "records/Categories.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"
#include "ui/CColorListCtrl.h"
#include "ui/CColorStatic.h"
#include "ui/ListStyle.h"

namespace {

constexpr int kAddIcon = 151;
constexpr int kDeleteIcon = 166;
constexpr int kCloseIcon = 161;
constexpr int kNameWidth = 120;
constexpr int kCommentWidth = 350;
// What DeleteCategory answers for a refusal it has already explained.
constexpr int kDeleteRefused = -1;

const char* TitleFor(int kind) {
  switch (kind) {
    case kCategoryTasks: return "Manage Task Categories";
    case kCategoryContacts: return "Manage Contact Categories";
    case kCategoryNotes: return "Manage Note Categories";
    default: return nullptr;
  }
}

}  // namespace

DlgMngCategories::DlgMngCategories(int kind, QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_kind(kind),
      m_list(qobject_cast<CColorListCtrl*>(GetDlgItem(kIdList))),
      m_name(qobject_cast<CColorEdit*>(GetDlgItem(kIdName))),
      m_comment(qobject_cast<CColorEdit*>(GetDlgItem(kIdComment))),
      m_add(qobject_cast<CButtonST*>(GetDlgItem(kIdAdd))),
      m_delete(qobject_cast<CButtonST*>(GetDlgItem(kIdDelete))),
      m_close(qobject_cast<CButtonST*>(GetDlgItem(kIdOk))) {
  // Modal to the window that opened it only: reminder pop-ups stay usable.
  if (parent) setWindowModality(Qt::WindowModal);
  connect(m_add, &QAbstractButton::clicked, this, &DlgMngCategories::OnAddClicked);
  connect(m_delete, &QAbstractButton::clicked, this, &DlgMngCategories::OnDeleteClicked);
  // Delete on the list asks and deletes the selected category, as the button does.
  connect(new QShortcut(QKeySequence(Qt::Key_Delete), m_list, nullptr, nullptr, Qt::WidgetShortcut),
          &QShortcut::activated, this, &DlgMngCategories::OnDeleteClicked);
}

bool DlgMngCategories::OnInitDialog() {
  DlgBase::OnInitDialog();
  const UTSettings& settings = GetApp().GetSettings();
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdNameLabel, kIdCommentLabel});
  EditorControls::DressButton(*this, m_add, kAddIcon);
  EditorControls::DressButton(*this, m_delete, kDeleteIcon);
  EditorControls::DressButton(*this, m_close, kCloseIcon);

  auto* title = qobject_cast<CColorStatic*>(GetDlgItem(kIdTitle));
  if (const char* text = TitleFor(m_kind)) {
    title->setText(QString::fromUtf8(text));
  } else {
    QMessageBox::information(this, Paths::kAppName, QStringLiteral("no category for dates"));
  }
  setWindowTitle(title->text());

  m_list->SetGridLines(true);
  m_list->setFont(GetTextFont());
  m_list->SetTextColor(settings.GetClrText());
  m_list->SetSelectedTextColor(settings.GetClrText());
  m_list->InsertColumn(QStringLiteral("Name"), 0);
  m_list->InsertColumn(QStringLiteral("Comment"), 1);
  m_list->setColumnWidth(0, kNameWidth);
  m_list->setColumnWidth(1, kCommentWidth);

  m_list->setAccessibleName(QStringLiteral("Categories"));
  m_name->setAccessibleName(QStringLiteral("Category Name"));
  m_comment->setAccessibleName(QStringLiteral("Comment"));

  FillList();
  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgMngCategories::FillList() {
  const int text = GetApp().GetSettings().GetClrText();
  setUpdatesEnabled(false);
  m_list->setUpdatesEnabled(false);
  m_list->DeleteAllItems();
  int row = 0;
  for (const CategoryRecord& category : ListCategories(m_kind)) {
    m_list->SetCellText(row, 0, QString::fromStdString(category.name));
    m_list->SetCellText(row, 1, QString::fromStdString(category.comment));
    m_list->SetItemValue(row, category.id);
    m_list->SetRowStyle(row, kLsTextColor, false);
    m_list->SetRowTextColor(row, text, false);
    ++row;
  }
  if (row > 0) m_list->SelectRow(0);
  m_list->setUpdatesEnabled(true);
  setUpdatesEnabled(true);
}

void DlgMngCategories::OnAddClicked() {
  const QString name = m_name->text().trimmed();
  if (name.isEmpty()) {
    ShowMessage("Please enter a Category name.", kMessageOkNotice);
    return;
  }
  CategoryRecord category;
  category.type_id = m_kind;
  category.name = name.toStdString();
  category.comment = m_comment->text().toStdString();
  if (InsertCategory(category) <= 0) {
    // The typed text stays, so the user can try again once the cause is gone.
    ShowMessage(NotSavedText("Category \"" + category.name + "\""), kMessageOkNotice);
    return;
  }
  m_name->clear();
  m_comment->clear();
  m_name->setFocus();
  FillList();
}

void DlgMngCategories::OnDeleteClicked() {
  const int row = m_list->GetFirstSelectedRow();
  if (row < 0) {
    ShowMessage("No Categories were selected for deletion!", kMessageNotice);
  } else if (ShowMessage("Are you sure you want to delete this Category?", kMessageYesNo) == 1) {
    const int result = DeleteCategory(m_list->GetItemValue(row), m_kind);
    if (result != 0 && result != kDeleteRefused) {
      ShowMessage("The Category \"" + m_list->GetItemText(row, 0).toStdString() +
                      "\" was not deleted: " + WriteFailureReason(),
                  kMessageOkNotice);
    }
  }
  FillList();
}

void DlgMngCategories::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (focusWidget() == m_name || focusWidget() == m_comment)) {
    m_add->click();
    return;
  }
  DlgBase::keyPressEvent(event);
}

void DlgMngCategories::OnOK() {
  FadeOut();
  DlgBase::OnOK();
}

void DlgMngCategories::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
