#pragma once

#include <QString>
#include <functional>

#include "ui/DlgBase.h"

class CButtonST;
class CColorStatic;

// The program's message box, in the user's colours and fonts: a Yes/No
// question (kind 0), a notice without buttons that closes itself after 1.8
// seconds (kind 1) or a notice with an OK button (kind 2). A message wider
// than the box widens it, a long one wraps; the box is centred on its owner.
class DlgMessage : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 134, kTimerSelfClose = 3, kSelfCloseMs = 1800 };

  DlgMessage(const QString& text, int kind, QWidget* parent = nullptr);

  // kIdOk for Yes, OK or a notice that closed itself; kIdCancel for No or Escape.
  int DoModal() override;

  const QString& GetText() const { return m_text; }
  int GetKind() const { return m_kind; }

  // For tests: while set, DoModal initialises the dialog and returns what the
  // responder answers instead of waiting for the user.
  using Responder = std::function<int(DlgMessage&)>;
  static void SetResponder(Responder responder);

 protected:
  bool OnInitDialog() override;
  void OnTimer(int id) override;
  void OnPaint(QPainter& painter) override;

 private:
  void FitMessage();

  QString m_text;
  CColorStatic* m_messageLabel;
  CColorStatic* m_titleLabel;
  int m_kind;
  CButtonST* m_yesButton;
  CButtonST* m_noButton;
};
