#include "search/SearchResultsModel.h"

SearchResultsModel::SearchResultsModel(QObject* parent) : QAbstractListModel(parent) {}

void SearchResultsModel::SetQuery(const QString& query) {
  beginResetModel();
  m_hits = m_index.Find(query);
  m_nothingFound = m_hits.empty() && !FoldedQueryWords(query).empty();
  endResetModel();
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return m_nothingFound ? 1 : static_cast<int>(m_hits.size());
}

const SearchHit* SearchResultsModel::HitAt(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= m_hits.size()) return nullptr;
  return &m_hits[static_cast<size_t>(row)];
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
  const SearchHit* hit = HitAt(index.row());
  if (!hit) return m_nothingFound && role == Qt::DisplayRole ? QVariant(QStringLiteral("No matches")) : QVariant();
  const QString kind = SearchIndex::KindName(hit->entry->kind);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
      // One line a screen reader speaks: kind, title and the part that matched.
      return kind + QStringLiteral(": ") + hit->entry->title + QStringLiteral(" \u2014 ") +
             SearchIndex::Snippet(*hit).text;
    }
    case kKindRole: return kind;
    case kTitleRole: return hit->entry->title;
    case kSnippetRole: return SearchIndex::Snippet(*hit).text;
    case kMarkStartRole: return SearchIndex::Snippet(*hit).markStart;
    case kMarkLengthRole: return SearchIndex::Snippet(*hit).markLength;
    default: return QVariant();
  }
}

Qt::ItemFlags SearchResultsModel::flags(const QModelIndex& index) const {
  return HitAt(index.row()) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
}
