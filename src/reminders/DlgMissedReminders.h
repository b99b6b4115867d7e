#pragma once

#include <QString>
#include <vector>

#include "reminders/DueReminders.h"
#include "ui/DlgBase.h"

class CColorStatic;
class CMyRichEditCtrl;

// One pop-up listing many missed reminders at once, instead of a window for
// each. Their warnings are already cleared, so it only informs. Modeless,
// independent of the main window; it deletes itself when closed.
class DlgMissedReminders : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 117 };
  enum { kIdTitle = 1070, kIdMessage = 1081, kIdList = 1068 };

  explicit DlgMissedReminders(const std::vector<DueReminder>& missed);

  // The heading, then one line per item.
  QString GetMessageText() const;
  QString GetListText() const;

 protected:
  bool OnInitDialog() override;
  void OnPaint(QPainter& painter) override;

 private:
  CColorStatic* m_message;
  CMyRichEditCtrl* m_list;
  std::vector<DueReminder> m_missed;
};
