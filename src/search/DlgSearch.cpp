#include "search/DlgSearch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListView>
#include <algorithm>

#include "editors/EditorControls.h"
#include "search/SearchResultDelegate.h"
#include "search/SearchResultsModel.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"

DlgSearch::DlgSearch(QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_query(qobject_cast<CColorEdit*>(GetDlgItem(kIdQuery))),
      m_results(new QListView(this)),
      m_model(new SearchResultsModel(this)) {
  m_results->setModel(m_model);
  m_results->setItemDelegate(new SearchResultDelegate(m_results));
  m_results->setSelectionMode(QAbstractItemView::SingleSelection);
  m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_results->setUniformItemSizes(false);
  m_results->setAccessibleName(QStringLiteral("Results"));
  m_query->setAccessibleName(QStringLiteral("Search"));
  m_query->installEventFilter(this);
  connect(m_query, &QLineEdit::textChanged, this, [this](const QString& text) {
    m_model->SetQuery(text);
    if (m_model->HitAt(0)) m_results->setCurrentIndex(m_model->index(0));
  });
  connect(m_results, &QAbstractItemView::doubleClicked, this, [this] { OnOK(); });
}

bool DlgSearch::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Search"));
  EditorControls::DressTitle(*this, kIdTitle);
  m_results->setFont(GetTextFont());
  m_query->setFont(GetTextFont());
  PlaceResults();
  // Every record is read once here; each key typed then only searches memory.
  m_model->Load();
  m_query->setFocus();
  StartTimer(kTimerFadeIn, 50);
  return true;
}

// The list fills the window under the field, with the field's margins.
void DlgSearch::PlaceResults() {
  const QRect field = m_query->geometry();
  const int margin = field.left();
  const int top = field.bottom() + margin / 2;
  m_results->setGeometry(margin, top, std::max(0, width() - 2 * margin), std::max(0, height() - top - margin));
}

void DlgSearch::resizeEvent(QResizeEvent* event) {
  DlgBase::resizeEvent(event);
  PlaceResults();
}

// Up, Down, Page Up and Page Down typed in the field move in the list.
bool DlgSearch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_query && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        QCoreApplication::sendEvent(m_results, event);
        return true;
      default:
        break;
    }
  }
  return DlgBase::eventFilter(watched, event);
}

// Enter chooses the current result; with none there is nothing to open.
void DlgSearch::OnOK() {
  const SearchHit* hit = m_model->HitAt(m_results->currentIndex().row());
  if (!hit) return;
  m_chosenKind = hit->entry->kind;
  m_chosenId = hit->entry->id;
  DlgBase::OnOK();
}

void DlgSearch::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
