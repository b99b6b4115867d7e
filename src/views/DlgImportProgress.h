#pragma once

#include <QElapsedTimer>
#include <QString>

#include "ui/DlgBase.h"

class QProgressBar;

// How far an import has come, with Cancel. It shows itself only once the
// work has taken half a second, caption-less and in the user's colours like
// the program's other dialogs. Cancel (or Escape) stops the work, which then
// writes nothing.
class DlgImportProgress : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 136, kTitleId = 1096, kBarId = 1099 };
  static constexpr int kShowAfterMs = 500;

  explicit DlgImportProgress(const QString& file, QWidget* parent = nullptr);

  // Takes the progress and lets the window answer; false once the person
  // cancelled.
  bool Step(int done, int total);

 protected:
  bool OnInitDialog() override;
  // Enter must not end the work as if it were done.
  void OnOK() override {}
  void OnCancel() override;
  void OnPaint(QPainter& painter) override;

 private:
  QString m_file;
  QProgressBar* m_bar;
  QElapsedTimer m_started;
  bool m_cancelled = false;
};
