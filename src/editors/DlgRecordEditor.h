#pragma once

#include <string>

#include "recurrence/RepeatRule.h"
#include "ui/DlgBase.h"

class CAutoCombo;

// What the record editors share: the emblem and the wide frame, a fade-out on
// Cancel, and the end of a save, which closes only when the write took effect.
class DlgRecordEditor : public DlgBase {
  Q_OBJECT

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
  // Whether a change to an occurrence of a series is for that occurrence
  // only: DlgOccurrenceQuestion's kThisOne, kAll or kCancel.
  int AskWhichOccurrences();
  // Stores the rule of a saved record when it differs from what was stored;
  // true when it is stored.
  static bool StoreRule(int kind, int id, const RepeatRule& rule, const RepeatRule& stored);

  void OnCancel() override;
  void OnPaint(QPainter& painter) override;
};
