#pragma once

#include <QString>

#include "ui/DlgBase.h"

class CButtonST;

// Asks, before an occurrence of a repeating event or task is changed or
// deleted, whether that is for this occurrence only or for the whole series:
// "This One", "All of Them" or "Cancel". In the look of the message dialog.
class DlgOccurrenceQuestion : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 138, kIdAll = 1003 };
  enum Answer { kThisOne = kIdOk, kCancel = kIdCancel, kAll = 3 };
  static constexpr char kQuestion[] = "Change only this occurrence, or all of them?";

  explicit DlgOccurrenceQuestion(QWidget* parent = nullptr);

  // kThisOne, kAll or kCancel (also for Escape).
  int DoModal() override;

 protected:
  bool OnInitDialog() override;
  void OnPaint(QPainter& painter) override;

 private:
  int m_answer = kCancel;
};
