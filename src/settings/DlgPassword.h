#pragma once

#include <QString>

#include "ui/DlgBase.h"

class CColorEdit;

// Asks for a sync account's password when none is stored (no Secret
// Service) nor typed in this run. It names the account and its server, so
// the person knows which password is meant; Sync takes it, Cancel leaves the
// account waiting.
class DlgPassword : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 141 };
  enum { kIdTitle = 1070, kIdMessage = 1081, kIdLabel = 1073, kIdPassword = 1006 };

  DlgPassword(const QString& user, const QString& url, QWidget* parent = nullptr);

  // What was typed, once the dialog ended with Sync.
  QString GetPassword() const { return m_typed; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnPaint(QPainter& painter) override;

 private:
  QString m_user;
  QString m_url;
  CColorEdit* m_password;
  QString m_typed;
};
