#pragma once

#include <array>

#include "editors/RepeatForm.h"
#include "ui/DlgBase.h"

class CAutoCombo;
class CButtonST;
class CColorDateTimeCtrl;
class CColorEdit;
class CColorStatic;

// "Custom..." of the editors' Repeat choice: every N days, weeks, months or
// years; the weekdays of a weekly rule; a monthly rule on the day of the month
// or on the n-th (or last) weekday; and the end, never, on a day or after a
// number of times. The line under it says the rule in words as it is chosen.
class DlgRepeatCustom : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 137 };
  enum {
    kIdTitle = 1070,
    kIdEveryLabel = 1071,
    kIdInterval = 1072,
    kIdUnit = 1073,
    kIdFirstWeekday = 1080,  // Monday; through 1086, Sunday
    kIdMonthlyLabel = 1087,
    kIdMonthly = 1088,
    kIdEndsLabel = 1089,
    kIdEnds = 1090,
    kIdUntil = 1091,
    kIdCount = 1092,
    kIdTimes = 1093,
    kIdWords = 1094,
  };

  // `form` is the rule to start from; `firstDay` the day of the first occurrence.
  DlgRepeatCustom(const RepeatForm& form, int firstDay, QWidget* parent = nullptr);

  // The rule as chosen; kept from the start until Save.
  const RepeatForm& GetForm() const { return m_form; }

 protected:
  bool OnInitDialog() override;
  // Save: takes the choices when they make a rule, else says what is wrong.
  void OnOK() override;
  void OnPaint(QPainter& painter) override;

 private:
  // The choices as they stand; a blank or unreadable number is 0.
  RepeatForm FormFromControls() const;
  // Greys what the chosen frequency and end do not use, and says the rule in words.
  void ApplyChoices();

  RepeatForm m_form;
  int m_firstDay;
  CColorEdit* m_interval;
  CAutoCombo* m_unit;
  std::array<CButtonST*, 7> m_weekdays;
  CColorStatic* m_monthlyLabel;
  CAutoCombo* m_monthly;
  CAutoCombo* m_ends;
  CColorDateTimeCtrl* m_until;
  CColorEdit* m_count;
  CColorStatic* m_times;
  CColorStatic* m_words;
};
