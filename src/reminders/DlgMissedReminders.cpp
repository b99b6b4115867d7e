#include "reminders/DlgMissedReminders.h"

#include <QStringList>

#include "reminders/DlgReminder.h"
#include "ui/CColorStatic.h"
#include "ui/CMyRichEditCtrl.h"

namespace {

QString Line(const DueReminder& item) {
  const QString name = QString::fromStdString(item.name);
  const QString when = QString::fromStdString(item.when).trimmed();
  if (item.kind == kReminderTask) return "The Task \"" + name + "\" was due at " + when;
  return "The Event \"" + name + "\" was scheduled for " + when;
}
}  // namespace

DlgMissedReminders::DlgMissedReminders(const std::vector<DueReminder>& missed)
    : DlgBase(kTemplateId),
      m_message(qobject_cast<CColorStatic*>(GetDlgItem(kIdMessage))),
      m_list(qobject_cast<CMyRichEditCtrl*>(GetDlgItem(kIdList))),
      m_missed(missed) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowStaysOnTopHint);  // as every reminder pop-up
}

QString DlgMissedReminders::GetMessageText() const {
  return QStringLiteral("You missed %1 reminders:").arg(m_missed.size());
}

QString DlgMissedReminders::GetListText() const {
  QStringList lines;
  for (const DueReminder& item : m_missed) lines << Line(item);
  return lines.join('\n');
}

bool DlgMissedReminders::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Orvale Reminder!"));
  DlgReminder::StyleReminderControls(*this);
  m_message->setText(GetMessageText());

  m_list->setFont(GetTextFont());
  m_list->setPlainText(GetListText());
  m_list->SetTextColorAll();
  m_list->setReadOnly(true);
  m_list->moveCursor(QTextCursor::Start);
  return true;
}

void DlgMissedReminders::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
