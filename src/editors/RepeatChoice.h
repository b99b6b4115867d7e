#pragma once

#include <QObject>
#include <functional>

#include "recurrence/RepeatRule.h"

class CAutoCombo;
class CColorStatic;
class DlgBase;

// The editors' "Repeat:" choice: Never, Daily, Weekly, Monthly, Yearly or
// Custom..., which opens the custom repeat dialog, with a line under it that
// says the rule in words. It holds the rule being edited; a rule it cannot
// show as a plain choice (a custom or imported one) shows as "Custom..." and
// is kept exactly as it came until the person picks another.
class RepeatChoice : public QObject {
  Q_OBJECT

 public:
  // `firstDay` gives the day of the series' first occurrence as the editor
  // shows it at the moment asked.
  RepeatChoice(DlgBase& dialog, CAutoCombo* box, CColorStatic* words, std::function<int()> firstDay);

  // Fonts and colours of the editor, and the choices; starts at Never.
  void Dress();
  void Load(const RepeatRule& rule);
  const RepeatRule& Rule() const { return m_rule; }
  // Says the rule in words again, for a first day that changed.
  void Refresh();
  // A disabled choice (a task without a date) shows and stores Never.
  void SetEnabled(bool enabled);
  bool IsEnabled() const;

 private:
  void OnChosen();
  // Chooses the item that shows the rule, without acting on the choice.
  void ShowRule();

  DlgBase& m_dialog;
  CAutoCombo* m_box;
  CColorStatic* m_words;
  std::function<int()> m_firstDay;
  RepeatRule m_rule;
  RepeatRule m_setAside;  // the rule of a choice that was disabled, back when enabled again
  bool m_showing = false;
};
