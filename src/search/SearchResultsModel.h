#pragma once

#include <QAbstractListModel>
#include <vector>

#include "search/SearchIndex.h"

// The results of the search as a list: one row per record found, or one
// "No matches" row when a query found nothing. Rows are made when shown, so
// that a short query with thousands of results costs no more than the scan.
class SearchResultsModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role { kKindRole = Qt::UserRole + 1, kTitleRole, kSnippetRole, kMarkStartRole, kMarkLengthRole };

  explicit SearchResultsModel(QObject* parent = nullptr);

  void Load() { m_index.Load(); }
  void SetQuery(const QString& query);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The record of a result row, or null for none (the "No matches" row).
  const SearchHit* HitAt(int row) const;

 private:
  SearchIndex m_index;
  std::vector<SearchHit> m_hits;
  bool m_nothingFound = false;
};
