#include "editors/DlgOccurrenceQuestion.h"

#include "app/AppBase.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"

namespace {
enum { kTitleId = 1096, kMessageId = 1081 };
}  // namespace

DlgOccurrenceQuestion::DlgOccurrenceQuestion(QWidget* parent) : DlgBase(kTemplateId, parent) {
  auto* all = qobject_cast<CButtonST*>(GetDlgItem(kIdAll));
  connect(all, &QAbstractButton::clicked, this, [this] {
    m_answer = kAll;
    done(kIdOk);
  });
  connect(qobject_cast<CButtonST*>(GetDlgItem(kIdOk)), &QAbstractButton::clicked, this, [this] { m_answer = kThisOne; });
}

int DlgOccurrenceQuestion::DoModal() {
  m_answer = kCancel;
  return DlgBase::DoModal() == kIdOk ? m_answer : kCancel;
}

bool DlgOccurrenceQuestion::OnInitDialog() {
  DlgBase::OnInitDialog();
  const int textColor = GetApp().GetSettings().GetClrText();
  auto* title = qobject_cast<CColorStatic*>(GetDlgItem(kTitleId));
  setWindowTitle(title->text());
  title->setFont(GetTitleFont());
  title->SetForeColor(textColor);
  auto* message = qobject_cast<CColorStatic*>(GetDlgItem(kMessageId));
  message->setText(QString::fromUtf8(kQuestion));
  message->setFont(GetTextFont());
  message->SetForeColor(textColor);
  message->FitToText();
  // The question decides the width: the buttons share it under the text.
  const int right = message->geometry().right() + 20;
  if (right > width()) resize(right, height());
  for (int id : {int(kIdOk), int(kIdAll), int(kIdCancel)}) {
    auto* button = qobject_cast<CButtonST*>(GetDlgItem(id));
    button->SetFlatStyle(false);
    button->MakeTransparent();
    button->SetCaptionFont(&GetButtonFont());
    button->setAccessibleName(button->text());
  }
  auto* first = GetDlgItem(kIdOk);
  auto* last = GetDlgItem(kIdCancel);
  const int shift = (width() - (last->geometry().right() - first->x())) / 2 - first->x();
  for (int id : {int(kIdOk), int(kIdAll), int(kIdCancel)}) GetDlgItem(id)->move(GetDlgItem(id)->pos() + QPoint(shift, 0));
  CentreWindow();
  return true;
}

void DlgOccurrenceQuestion::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawFrame(painter);
}
