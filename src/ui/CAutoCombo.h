#pragma once

#include <QComboBox>
#include <QFont>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

// The program's drop-down list: an editable combo box that completes what is
// typed from its own full list of items, narrowing the shown rows as the user
// types on and rebuilding them when a character is deleted. Rows may show a
// second text in a second column. Items are addressed by their index in the
// full list, which stays valid while the shown rows change.
class CAutoCombo : public QComboBox {
  Q_OBJECT

 public:
  explicit CAutoCombo(QWidget* parent = nullptr);

  void InitAutoCombo(bool twoColumns, int secondColumnOffset);

  // Appends an item and returns its full-list index. With two columns the text
  // after the first tab is the item's second text.
  int AddItem(const QString& text);
  int AddItemPair(const QString& item, const QString& secondText);
  // Empties the full list, the shown rows and the item values.
  void ResetItems();

  // The value the dialog attached to an item, by full-list index; -1 when none.
  void SetItemValue(int index, int value);
  int GetItemValue(int index) const;

  // Chooses an item by full-list index and notifies as a user's choice does.
  void SelectItem(int index);
  // Full-list index of the chosen row; without a chosen row, that of the first
  // row shown; when typed text shows no row, the item chosen before; -1 when
  // there are no items.
  int GetSelectedItem() const;

  enum ColorSlot {
    kColorText,
    kColorSecondText,
    kColorSelectedText,
    kColorSelectedSecondText,
    kColorSelectedBackground,
    kColorSlots
  };
  // Changes nothing for a slot outside 0-4. The text colour is also that of the edit field.
  void SetItemColor(int colorRef, int slot);

  // For the row painter.
  bool HasTwoColumns() const { return m_twoColumns; }
  int SecondColumnOffset() const { return m_secondColumnOffset; }
  int FullIndexOfRow(int row) const;
  QString ItemText(int index) const;
  QString SecondText(int index) const;
  QColor ItemColor(int slot) const;
  const QFont& ItemFont() const;
  int ItemHeight() const;

  void hidePopup() override;

 signals:
  // The user chose a row, or SelectItem chose one.
  void selChange();
  // The user changed the edit text.
  void editChange();
  // The box was left with text that names no item; it shows the item that
  // counts again.
  void unmatchedText(const QString& text);
  void focusGained();
  void focusLost();
  // The drop-down list closed.
  void closeUp();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnTextEdited(const QString& text);
  void OnCloseUp();
  // Shows every item again and chooses the current item.
  void ShowFullList();
  void AppendRow(int index);
  void ClearRows();
  void ChooseRow(int row);
  static bool Matches(const QString& item, const QString& typed);

  int m_colors[kColorSlots];
  std::vector<int> m_visibleToFull;
  bool m_twoColumns = false;
  QStringList m_fullList;
  QStringList m_secondTexts;
  // Made when the list first opens: measuring it loads a face that the
  // closed box never draws.
  mutable std::optional<QFont> m_font;
  int m_currentItem = 0;
  int m_secondColumnOffset = 0;
  int m_typedLength = 0;
  mutable int m_itemHeight = 0;
  std::map<int, int> m_itemValues;
};
