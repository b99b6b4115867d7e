#pragma once

#include <QString>

#include "ui/DlgBase.h"

class CButtonST;
class CColorStatic;

namespace Interop {
class Importer;
}

// What importing a file will do, per kind of record: how many are added,
// updated, unchanged and skipped (with why), in the user's colours. Import
// (Enter) goes ahead, Cancel (Escape) leaves everything as it is.
class DlgImportPreview : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 135, kTitleId = 1096, kSummaryId = 1081 };

  // `importer` has been previewed.
  DlgImportPreview(const Interop::Importer& importer, QWidget* parent = nullptr);

  // The text shown: one line per kind the file holds, then what was skipped.
  static QString Summary(const Interop::Importer& importer);

 protected:
  bool OnInitDialog() override;
  void OnPaint(QPainter& painter) override;

 private:
  QString m_summary;
  QString m_file;
};
