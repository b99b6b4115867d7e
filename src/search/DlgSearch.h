#pragma once

#include "ui/DlgBase.h"

class CColorEdit;
class QListView;
class SearchResultsModel;

// The search window: a field named "Search" and under it the list "Results",
// filled as each key is typed. Up and Down move in the list, Enter or a double
// click chooses a record, Escape closes. DoModal returns kIdOk with a record
// chosen.
class DlgSearch : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 118, kIdTitle = 1070, kIdQuery = 1001 };

  explicit DlgSearch(QWidget* parent = nullptr);

  // The chosen record, once DoModal returned kIdOk.
  int GetChosenKind() const { return m_chosenKind; }
  int GetChosenId() const { return m_chosenId; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnPaint(QPainter& painter) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceResults();

  CColorEdit* m_query;
  QListView* m_results;
  SearchResultsModel* m_model;
  int m_chosenKind = -1;
  int m_chosenId = -1;
};
