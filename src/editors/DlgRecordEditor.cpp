#include "editors/DlgRecordEditor.h"

#include "app/Message.h"
#include "editors/DlgMngCategories.h"
#include "editors/DlgOccurrenceQuestion.h"
#include "editors/EditorControls.h"
#include "editors/WriteFailure.h"
#include "records/Categories.h"
#include "recurrence/Occurrences.h"
#include "recurrence/RepeatRules.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"

namespace {
constexpr int kSaveIcon = 151;
constexpr int kCancelIcon = 161;
}  // namespace

DlgRecordEditor::DlgRecordEditor(int templateId, QWidget* parent) : DlgBase(templateId, parent) {}

void DlgRecordEditor::FinishSave(bool saved, const std::string& what) {
  if (!saved) {
    ShowMessage(NotSavedText(what), kMessageOkNotice);
    return;
  }
  FadeOut();
  DlgBase::OnOK();
}

void DlgRecordEditor::DressSaveAndCancel() {
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdOk)), kSaveIcon);
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdCancel)), kCancelIcon);
}

bool DlgRecordEditor::ManageCategories(int kind) {
  DlgMngCategories manager(kind, this);
  return manager.DoModal() == kIdOk;
}

void DlgRecordEditor::OfferNewCategories(CAutoCombo* box, int kind) {
  connect(box, &CAutoCombo::unmatchedText, this, [box, kind](const QString& text) {
    const std::string name = text.toStdString();
    if (ShowMessage("Add category '" + name + "'?", kMessageYesNo) != 1) return;
    CategoryRecord category;
    category.type_id = kind;
    category.name = name;
    const int id = InsertCategory(category);
    if (id <= 0) {
      ShowMessage(NotSavedText("Category \"" + name + "\""), kMessageOkNotice);
      return;
    }
    EditorControls::FillCategories(box, kind, id);
  });
}

bool DlgRecordEditor::RuleUsable(const RepeatRule& rule, double firstMoment) {
  if (rule.rrule.empty()) return true;
  const std::string reason = CheckRepeatRule(rule.rrule, firstMoment);
  if (reason.empty()) return true;
  ShowMessage(reason, kMessageOkNotice);
  return false;
}

DlgRecordEditor::SaveResult DlgRecordEditor::SaveRepeating(int kind, int id, int occurrenceDay, const RepeatRule& rule,
                                                           const RepeatRule& stored, const RecordWriter& write,
                                                           int (*remove)(int id)) {
  const auto result = [](bool saved) { return saved ? SaveResult::kSaved : SaveResult::kFailed; };
  const auto storeRule = [&](int written) { return rule == stored || SaveRepeatRule(kind, written, rule) == 0; };
  if (id <= 0) {
    const int added = write(0, 0);
    const bool saved = added > 0 && storeRule(added);
    // A repeating record whose rule could not be stored is not kept as a single one.
    if (added > 0 && !saved) remove(added);
    return result(saved);
  }
  int answer = DlgOccurrenceQuestion::kAll;
  if (occurrenceDay != 0) {
    DlgOccurrenceQuestion question(this);
    answer = question.DoModal();
  }
  if (answer == DlgOccurrenceQuestion::kCancel) return SaveResult::kCancelled;
  if (answer == DlgOccurrenceQuestion::kAll) return result(write(id, 0) > 0 && storeRule(id));
  // The occurrence becomes a record of its own on its day; the series keeps its rule.
  const int single = DetachOccurrence(kind, id, occurrenceDay);
  if (single > 0) m_detached = single;
  return result(single > 0 && write(single, occurrenceDay) > 0);
}

void DlgRecordEditor::OnCancel() {
  FadeOut();
  DlgBase::OnCancel();
}

void DlgRecordEditor::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
