#include "ui/CAutoCombo.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "app/AppBase.h"
#include "ui/CAutoComboDelegate.h"
#include "ui/ColorRef.h"
#include "ui/UiFonts.h"

CAutoCombo::CAutoCombo(QWidget* parent) : QComboBox(parent) {
  const UTSettings& settings = GetApp().GetSettings();
  for (int slot = 0; slot < kColorSlots; ++slot) m_colors[slot] = settings.GetClrText();
  m_colors[kColorSelectedBackground] = settings.GetClrHighlight();
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);  // the completion is this class's own
  setItemDelegate(new CAutoComboDelegate(this));
  QPalette colors = lineEdit()->palette();
  colors.setColor(QPalette::Text, ColorFromRef(settings.GetClrText()));
  lineEdit()->setPalette(colors);

  // Typing goes on into the edit field while the list is open.
  view()->installEventFilter(this);
  connect(lineEdit(), &QLineEdit::textEdited, this, &CAutoCombo::OnTextEdited);
  connect(this, &QComboBox::activated, this, [this] { emit selChange(); });
}

void CAutoCombo::InitAutoCombo(bool twoColumns, int secondColumnOffset) {
  m_twoColumns = twoColumns;
  m_secondColumnOffset = secondColumnOffset;
  view()->setMinimumWidth(twoColumns ? 320 : 200);
}

int CAutoCombo::AddItem(const QString& text) {
  if (!m_twoColumns) return AddItemPair(text, QString());
  const qsizetype tab = text.indexOf(QLatin1Char('\t'));
  if (tab < 0) return AddItemPair(text, QString());
  return AddItemPair(text.left(tab), text.mid(tab + 1));
}

int CAutoCombo::AddItemPair(const QString& item, const QString& secondText) {
  m_fullList.append(item);
  m_secondTexts.append(secondText);
  const int index = static_cast<int>(m_fullList.size()) - 1;
  AppendRow(index);
  return index;
}

void CAutoCombo::ResetItems() {
  m_fullList.clear();
  m_secondTexts.clear();
  m_itemValues.clear();
  m_currentItem = 0;
  ClearRows();
}

void CAutoCombo::SetItemValue(int index, int value) { m_itemValues[index] = value; }

int CAutoCombo::GetItemValue(int index) const {
  const auto found = m_itemValues.find(index);
  return found == m_itemValues.end() ? -1 : found->second;
}

void CAutoCombo::SelectItem(int index) {
  m_currentItem = index;
  int row = -1;
  for (size_t r = 0; r < m_visibleToFull.size(); ++r) {
    if (m_visibleToFull[r] == index) row = static_cast<int>(r);
  }
  if (row < 0 && index >= 0 && index < m_fullList.size()) {
    // The item is filtered out of the shown rows: show them all again.
    ShowFullList();
    row = index;
  }
  ChooseRow(row);
  emit selChange();
}

int CAutoCombo::GetSelectedItem() const {
  const int row = currentIndex();
  if (row >= 0 && static_cast<size_t>(row) < m_visibleToFull.size()) return m_visibleToFull[static_cast<size_t>(row)];
  if (!m_visibleToFull.empty()) return m_visibleToFull.front();
  // No row is shown (nothing matched the typed text): text that names no item
  // changes nothing, the item chosen before counts.
  if (m_fullList.isEmpty()) return -1;
  return qBound(0, m_currentItem, static_cast<int>(m_fullList.size()) - 1);
}

void CAutoCombo::SetItemColor(int colorRef, int slot) {
  if (slot < 0 || slot >= kColorSlots) return;
  m_colors[slot] = colorRef;
  if (slot == kColorText) {
    // The chosen item shows in the edit field, in the same colour. Set on the
    // combo box itself: the box hands its palette down to the edit field
    // whenever a palette changes, which would undo one set on the field.
    QPalette colors = palette();
    colors.setColor(QPalette::Text, ColorFromRef(colorRef));
    setPalette(colors);
  }
  view()->viewport()->update();
}

int CAutoCombo::FullIndexOfRow(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= m_visibleToFull.size()) return -1;
  return m_visibleToFull[static_cast<size_t>(row)];
}

const QFont& CAutoCombo::ItemFont() const {
  if (!m_font) {
    m_font = MakeCellFont(QStringLiteral("Arial"), 15, 600);
    m_itemHeight = static_cast<int>(QFontMetrics(*m_font).height() * 1.15);
  }
  return *m_font;
}

int CAutoCombo::ItemHeight() const {
  ItemFont();
  return m_itemHeight;
}

QString CAutoCombo::ItemText(int index) const { return m_fullList.value(index); }

QString CAutoCombo::SecondText(int index) const { return m_secondTexts.value(index); }

QColor CAutoCombo::ItemColor(int slot) const { return ColorFromRef(m_colors[slot]); }

void CAutoCombo::AppendRow(int index) {
  // A combo box chooses its first row by itself; this list keeps no choice
  // until one is made.
  const bool hadChoice = currentIndex() >= 0;
  addItem(m_fullList[index]);
  m_visibleToFull.push_back(index);
  if (!hadChoice && currentIndex() >= 0) setCurrentIndex(-1);
}

void CAutoCombo::ClearRows() {
  clear();
  m_visibleToFull.clear();
}

void CAutoCombo::ChooseRow(int row) {
  setCurrentIndex(row);
  // Choosing the row that is already current leaves typed text in the edit.
  lineEdit()->setText(row >= 0 ? itemText(row) : QString());
}

bool CAutoCombo::Matches(const QString& item, const QString& typed) {
  return item.startsWith(typed, Qt::CaseInsensitive);
}

void CAutoCombo::OnTextEdited(const QString& text) {
  const int length = static_cast<int>(text.size());
  bool rebuilt = false;
  if (length <= m_typedLength || length == 0) {
    // A character was deleted: start again from every item.
    ClearRows();
    for (int i = 0; i < m_fullList.size(); ++i) {
      if (Matches(m_fullList[i], text)) AppendRow(i);
    }
    rebuilt = true;
  }
  m_typedLength = length;

  // Typing on only narrows the rows already shown.
  int kept = 0;
  for (size_t r = 0; r < m_visibleToFull.size(); ++r) {
    if (Matches(itemText(kept), text)) {
      m_visibleToFull[static_cast<size_t>(kept++)] = m_visibleToFull[r];
    } else {
      removeItem(kept);
    }
  }
  m_visibleToFull.resize(static_cast<size_t>(kept));
  if (kept == 0) rebuilt = true;

  if (rebuilt) {
    setCurrentIndex(-1);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(length);
  } else {
    // Complete with the first match; the completed rest stays selected so
    // that typing on replaces it.
    ChooseRow(0);
    lineEdit()->setSelection(length, static_cast<int>(lineEdit()->text().size()) - length);
  }
  if (!view()->isVisible()) showPopup();
  emit editChange();
}

void CAutoCombo::ShowFullList() {
  ClearRows();
  for (int i = 0; i < m_fullList.size(); ++i) AppendRow(i);
}

void CAutoCombo::focusInEvent(QFocusEvent* event) {
  QComboBox::focusInEvent(event);
  if (event->reason() == Qt::PopupFocusReason) return;  // back from the own list
  ShowFullList();
  if (!m_fullList.isEmpty()) ChooseRow(qBound(0, m_currentItem, static_cast<int>(m_fullList.size()) - 1));
  lineEdit()->selectAll();
  m_typedLength = 0;
  emit focusGained();
}

void CAutoCombo::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (event->reason() == Qt::PopupFocusReason) return;  // into the own list
  const QString typed = lineEdit()->text().trimmed();
  const bool unmatched = m_visibleToFull.empty() && !typed.isEmpty();
  m_currentItem = GetSelectedItem();
  // Left behind, the box shows the item that counts, never text that matched nothing.
  ShowFullList();
  if (!m_fullList.isEmpty()) ChooseRow(m_currentItem);
  if (unmatched) emit unmatchedText(typed);
  emit focusLost();
}

void CAutoCombo::hidePopup() {
  QComboBox::hidePopup();
  // A row picked in the list is applied after the list closes, so the rows
  // are rebuilt only once that has happened.
  QTimer::singleShot(0, this, &CAutoCombo::OnCloseUp);
}

void CAutoCombo::OnCloseUp() {
  m_currentItem = GetSelectedItem();
  ShowFullList();
  if (!m_fullList.isEmpty()) ChooseRow(m_currentItem);
  emit closeUp();
}

bool CAutoCombo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool editing = !key->text().isEmpty() && key->text().at(0).isPrint();
    switch (key->key()) {
      case Qt::Key_Backspace:
      case Qt::Key_Delete:
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Home:
      case Qt::Key_End:
        break;
      default:
        if (!editing) return QComboBox::eventFilter(watched, event);
    }
    QCoreApplication::sendEvent(lineEdit(), event);
    return true;
  }
  return QComboBox::eventFilter(watched, event);
}
