#pragma once

#include <functional>
#include <string>

#include "recurrence/RepeatRule.h"
#include "ui/DlgBase.h"

class CAutoCombo;

// What the record editors share: the emblem and the wide frame, a fade-out on
// Cancel, and the end of a save, which closes only when the write took effect.
class DlgRecordEditor : public DlgBase {
  Q_OBJECT

 public:
  // The record the saved occurrence became when the change was for that
  // occurrence only; 0 otherwise.
  int DetachedRecord() const { return m_detached; }

 protected:
  DlgRecordEditor(int templateId, QWidget* parent);

  // Fades out and ends with OK when saved. Otherwise says what was not saved
  // and why, and stays open with everything typed, so the user can save again
  // once the cause is gone. `what` names the record, as in: Task "Call the bank".
  void FinishSave(bool saved, const std::string& what);
  // Save and Cancel with their icons, in the button font.
  void DressSaveAndCancel();
  // Opens the category manager for a kind of record; true when it was closed
  // with "Close Window", after which the editor refills its category box.
  bool ManageCategories(int kind);
  // A name typed into the category box that is no category is offered to be
  // added as one, and chosen when it is; otherwise the box keeps its choice.
  void OfferNewCategories(CAutoCombo* box, int kind);

  // Says why a rule cannot be used for a series first due at `firstMoment`
  // and answers false; a record that does not repeat always passes.
  bool RuleUsable(const RepeatRule& rule, double firstMoment);

  enum class SaveResult { kSaved, kFailed, kCancelled };
  // Writes the editor's fields into record `id`, or into a new record for id
  // 0, moved to `day` unless it is 0; the id written, or <= 0 on failure.
  using RecordWriter = std::function<int(int id, int day)>;
  // Saves a record that may repeat, as its editor was opened: a new record
  // with its rule (not kept at all when the rule cannot be stored), or an
  // existing one with its rule. Opened on the occurrence of a series on
  // `occurrenceDay`, it first asks whether the change is for that occurrence
  // only, which then becomes a record of its own on its day.
  SaveResult SaveRepeating(int kind, int id, int occurrenceDay, const RepeatRule& rule, const RepeatRule& stored,
                           const RecordWriter& write, int (*remove)(int id));

  void OnCancel() override;
  void OnPaint(QPainter& painter) override;

 private:
  int m_detached = 0;
};
