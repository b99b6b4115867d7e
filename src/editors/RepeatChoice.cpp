#include "editors/RepeatChoice.h"

#include "editors/DlgRepeatCustom.h"
#include "editors/EditorControls.h"
#include "editors/RepeatForm.h"
#include "recurrence/RuleWords.h"
#include "ui/CAutoCombo.h"
#include "ui/CColorStatic.h"
#include "ui/ControlFactory.h"
#include "ui/DlgBase.h"

namespace {

// Items in the order of RepeatForm::Frequency, then Custom.
const char* const kChoices[] = {"Never", "Daily", "Weekly", "Monthly", "Yearly", "Custom..."};
constexpr int kCustom = 5;

// The plain choice whose rule this is, else Custom.
int ChoiceOf(const std::string& rrule) {
  for (int choice = RepeatForm::kNever; choice < kCustom; ++choice) {
    if (RepeatRuleText({static_cast<RepeatForm::Frequency>(choice)}, 0) == rrule) return choice;
  }
  return kCustom;
}

}  // namespace

RepeatChoice::RepeatChoice(DlgBase& dialog, CAutoCombo* box, CColorStatic* words, std::function<int()> firstDay)
    : QObject(&dialog), m_dialog(dialog), m_box(box), m_words(words), m_firstDay(std::move(firstDay)) {}

void RepeatChoice::Dress() {
  EditorControls::DressPickBox(m_dialog, m_box, false, 0);
  EditorControls::DressLabels(m_dialog, {DlgItemId(m_words)});
  m_box->setAccessibleName(QStringLiteral("Repeat"));
  m_box->ResetItems();
  for (const char* choice : kChoices) m_box->AddItem(QString::fromUtf8(choice));
  connect(m_box, &CAutoCombo::selChange, this, &RepeatChoice::OnChosen);
  ShowRule();
}

void RepeatChoice::Load(const RepeatRule& rule) {
  (IsEnabled() ? m_rule : m_setAside) = rule;
  ShowRule();
}

void RepeatChoice::ShowRule() {
  m_showing = true;
  m_box->SelectItem(ChoiceOf(m_rule.rrule));
  m_showing = false;
  Refresh();
}

void RepeatChoice::Refresh() {
  m_words->setText(QString::fromStdString(DescribeRepeatRule(m_rule, m_firstDay())));
}

void RepeatChoice::OnChosen() {
  if (m_showing) return;
  const int choice = m_box->GetSelectedItem();
  if (choice == ChoiceOf(m_rule.rrule) && choice != kCustom) return;
  if (choice == kCustom) {
    const std::optional<RepeatForm> form = RepeatFormOf(m_rule.rrule);
    DlgRepeatCustom custom(form.value_or(RepeatForm{}), m_firstDay(), &m_dialog);
    // Cancel, or a rule the dialog cannot show left as it was, keeps the rule.
    if (custom.DoModal() == DlgBase::kIdOk) m_rule.rrule = RepeatRuleText(custom.GetForm(), m_firstDay());
  } else if (choice == RepeatForm::kNever) {
    m_rule = RepeatRule{};
  } else if (choice >= 0) {
    m_rule.rrule = RepeatRuleText({static_cast<RepeatForm::Frequency>(choice)}, m_firstDay());
  }
  ShowRule();
}

void RepeatChoice::SetEnabled(bool enabled) {
  if (enabled == IsEnabled()) return;
  m_box->setEnabled(enabled);
  if (!enabled) {
    m_setAside = m_rule;
    m_rule = RepeatRule{};
  } else {
    m_rule = m_setAside;
  }
  ShowRule();
}

bool RepeatChoice::IsEnabled() const { return m_box->isEnabled(); }
