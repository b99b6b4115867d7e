#pragma once

#include <string>

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

  void OnCancel() override;
  void OnPaint(QPainter& painter) override;
};
