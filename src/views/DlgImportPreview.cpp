#include "views/DlgImportPreview.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <algorithm>

#include "app/AppBase.h"
#include "interop/Importer.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"

namespace {

constexpr const char* kKindNames[] = {"Tasks", "Contacts", "Dates and events", "Notes"};
// Only the first few reasons are listed; the count says how many there are.
constexpr size_t kReasonsShown = 5;

}  // namespace

DlgImportPreview::DlgImportPreview(const Interop::Importer& importer, QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_summary(Summary(importer)),
      m_file(QFileInfo(QString::fromStdString(importer.Path())).fileName()) {}

QString DlgImportPreview::Summary(const Interop::Importer& importer) {
  QStringList lines;
  QStringList reasons;
  for (size_t kind = 0; kind < importer.Counts().size(); ++kind) {
    const Interop::KindCounts& c = importer.Counts()[kind];
    if (c.added + c.updated + c.unchanged + c.skipped == 0) continue;
    lines << QStringLiteral("%1: %2 added, %3 updated, %4 unchanged, %5 skipped")
                 .arg(QString::fromLatin1(kKindNames[kind]))
                 .arg(c.added)
                 .arg(c.updated)
                 .arg(c.unchanged)
                 .arg(c.skipped);
    for (const std::string& why : c.why) reasons << QString::fromStdString(why);
  }
  for (const std::string& why : importer.Other()) reasons << QString::fromStdString(why);
  if (lines.isEmpty()) lines << QStringLiteral("The file holds no tasks, contacts, events or notes.");
  if (!reasons.isEmpty()) {
    lines << QString() << QStringLiteral("Skipped:");
    for (qsizetype i = 0; i < reasons.size() && i < static_cast<qsizetype>(kReasonsShown); ++i) lines << reasons[i];
    if (reasons.size() > static_cast<qsizetype>(kReasonsShown)) {
      lines << QStringLiteral("and %1 more").arg(reasons.size() - static_cast<qsizetype>(kReasonsShown));
    }
  }
  return lines.join('\n');
}

bool DlgImportPreview::OnInitDialog() {
  DlgBase::OnInitDialog();
  const int textColor = GetApp().GetSettings().GetClrText();
  auto* title = qobject_cast<CColorStatic*>(GetDlgItem(kTitleId));
  title->setText(QStringLiteral("Import %1").arg(m_file));
  title->setFont(GetTitleFont());
  title->SetForeColor(textColor);
  setWindowTitle(title->text());
  auto* summary = qobject_cast<CColorStatic*>(GetDlgItem(kSummaryId));
  summary->setText(m_summary);
  summary->setFont(GetTextFont());
  summary->SetForeColor(textColor);
  // Sized to its lines, measured in its own font.
  const QFontMetrics metrics(summary->font());
  int widest = 0;
  for (const QString& line : m_summary.split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  summary->resize(std::max(summary->width(), widest + 8),
                  metrics.lineSpacing() * static_cast<int>(m_summary.count('\n') + 1) + 4);
  // Long reasons widen the box to the right; the buttons follow the last line.
  const QRect text = summary->geometry();
  const int wider = std::max(0, text.right() + 20 - width());
  auto* import = qobject_cast<CButtonST*>(GetDlgItem(kIdOk));
  auto* cancel = qobject_cast<CButtonST*>(GetDlgItem(kIdCancel));
  const int lower = text.bottom() + 16 - import->y();
  resize(width() + wider, height() + lower);
  for (CButtonST* button : {import, cancel}) {
    button->SetFlatStyle(false);
    button->MakeTransparent();
    button->SetCaptionFont(&GetButtonFont());
    button->move(button->x() + wider / 2, button->y() + lower);
  }
  import->setFocus();
  return true;
}

void DlgImportPreview::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawFrame(painter);
}
