#include "views/DlgImportProgress.h"

#include <QApplication>
#include <QProgressBar>
#include <algorithm>

#include "app/AppBase.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"

DlgImportProgress::DlgImportProgress(const QString& file, QWidget* parent)
    : DlgBase(kTemplateId, parent), m_file(file), m_bar(qobject_cast<QProgressBar*>(GetDlgItem(kBarId))) {
  m_started.start();
}

bool DlgImportProgress::OnInitDialog() {
  DlgBase::OnInitDialog();
  auto* title = qobject_cast<CColorStatic*>(GetDlgItem(kTitleId));
  title->setText(QStringLiteral("Importing %1...").arg(m_file));
  title->setFont(GetTitleFont());
  title->SetForeColor(GetApp().GetSettings().GetClrText());
  setWindowTitle(title->text());
  m_bar->setFont(GetTextFont());
  m_bar->setAccessibleName(QStringLiteral("Progress"));
  auto* cancel = qobject_cast<CButtonST*>(GetDlgItem(kIdCancel));
  cancel->SetFlatStyle(false);
  cancel->MakeTransparent();
  cancel->SetCaptionFont(&GetButtonFont());
  cancel->setFocus();
  return true;
}

bool DlgImportProgress::Step(int done, int total) {
  if (!m_cancelled && !isVisible() && m_started.elapsed() >= kShowAfterMs) {
    setWindowModality(Qt::WindowModal);
    show();
  }
  m_bar->setMaximum(std::max(total, 1));
  m_bar->setValue(std::clamp(done, 0, std::max(total, 1)));
  QApplication::processEvents();
  return !m_cancelled;
}

void DlgImportProgress::OnCancel() {
  m_cancelled = true;
  done(kIdCancel);
}

void DlgImportProgress::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawFrame(painter);
}
