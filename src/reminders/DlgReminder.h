#pragma once

#include <QString>

#include "ui/DlgBase.h"

class CAutoCombo;
class CButtonST;
class CColorStatic;

// The pop-up telling the user that a task is due or an event is near. The
// scan has already cleared the item's warning; here the user can leave it so
// or choose a shorter warning to be reminded again. Modeless and independent
// of the main window; it deletes itself when closed.
class DlgReminder : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 116 };
  enum { kIdTitle = 1070, kIdMessage = 1081, kIdDismiss = 1110, kIdReset = 1111, kIdIntervals = 1005 };

  DlgReminder(QWidget* creator, int kind, int id, int minutesLeft, const QString& name, const QString& when);

  QString GetMessageText() const;
  // The OK button (1), title (1070) and message (1081) as every reminder
  // window shows them, in the user's colours and the dialog's fonts.
  static void StyleReminderControls(const DlgBase& dialog);
  int GetKind() const { return m_kind; }
  int GetId() const { return m_id; }
  int GetMinutesLeft() const { return m_minutesLeft; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnPaint(QPainter& painter) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnDismissClicked();
  void OnResetClicked();

  CColorStatic* m_message;
  CButtonST* m_dismiss;
  CButtonST* m_reset;
  CAutoCombo* m_intervals;
  int m_kind;
  int m_id;
  int m_minutesLeft;
  QString m_name;
  QString m_when;
};
