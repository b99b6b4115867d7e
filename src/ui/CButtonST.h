#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <array>

// The program's push button and check box, painted by itself: flat with a
// frame while hovered or classic 3D, optionally transparent, with an icon for
// the hovered/pressed/checked state and one for the rest, six state colours,
// its own caption font and a tooltip. A double click acts as two clicks (the
// second press of a double click is handled as a press), also in check box mode.
class CButtonST : public QAbstractButton {
  Q_OBJECT

 public:
  // Results of the colour operations.
  enum { kOk = 0, kInvalidIndex = 3 };
  // Colour indexes.
  enum {
    kColorBkIn = 0,     // background while hovered or pressed
    kColorFgIn = 1,     // text while hovered or pressed
    kColorBkOut = 2,    // background otherwise
    kColorFgOut = 3,    // text otherwise
    kColorBkFocus = 4,  // background while focused
    kColorFgFocus = 5,  // text while focused (kept, not drawn)
    kColorCount = 6,
  };
  // Drawing state bits for DrawItem.
  enum { kStateSelected = 1, kStateFocus = 2, kStateDisabled = 4 };
  // Out-icon id that asks for a grey copy of the in-icon.
  static constexpr int kGreyOutIcon = -2;

  explicit CButtonST(QWidget* parent = nullptr);

  // A check box keeps a checked state and shows it as pressed.
  void SetCheckBoxMode(bool checkBox);
  bool IsCheckBoxMode() const { return m_checkBoxMode; }
  // The default button of its dialog answers the Enter key while the focus is
  // on a control that is not a push button; it is marked as the default while
  // no other push button has the focus.
  void SetDefault(bool isDefault);
  bool IsDefault() const { return m_default; }

  // Icons by resource id; 0 means none, kGreyOutIcon a grey copy of the in-icon.
  void LoadButtonIcons(int inIconId, int outIconId);
  void SetFlatStyle(bool flat, bool redraw = true);
  bool IsFlat() const { return m_flat; }
  // Draws nothing behind the icon and caption, so the parent shows through.
  void MakeTransparent(bool redraw = true);
  void SetHoverFrame(bool drawBorder, bool redraw = true);
  // kInvalidIndex for an index outside 0-5, which changes nothing.
  int SetStateColor(int index, int colorRef, bool redraw = true);
  // The colour at an index, or -1 outside 0-5.
  int GetStateColor(int index) const;
  // Backgrounds to the user's background colour, texts to the text colour.
  void ResetColors(bool redraw = true);
  // Only in check box mode.
  void SetCheckState(bool checked, bool redraw = true);
  bool GetCheckState() const { return isChecked(); }
  // The caption is drawn and measured in this font (not owned) when set.
  void SetCaptionFont(const QFont* font);
  // The tip is also the accessible name of a button without a caption word.
  void SetTipText(const QString& text, bool activate);
  // Keys that do what the button does, shown after the tip.
  void SetKeyHint(const QString& keys);
  // Resizes the button to its caption plus the in-icon, without moving it.
  void FitToCaption();
  bool IsHover() const { return m_hover; }

  // Paints the button into the rectangle in the given state (kState* bits);
  // the hover state and check state are the button's own.
  void DrawItem(QPainter& painter, const QRect& rect, int state) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void LeaveHover();
  // A push button, not a check box: it takes Enter itself when it has the focus.
  bool IsPushButton() const { return !m_checkBoxMode; }
  static bool IsEnterKey(const QKeyEvent* event);
  // Whether the default mark shows: no other push button of the window has the focus.
  bool ShowsDefault() const;
  // The default buttons of the window show or drop their mark as the focus moves.
  void UpdateDefaultButtons();
  void ShowTip();
  QFont CaptionFont() const;
  void DrawFrame(QPainter& painter, const QRect& rect, bool pressed) const;

  bool m_flat = true;
  bool m_hover = false;
  bool m_transparent = false;
  bool m_drawBorder = true;
  bool m_checkBoxMode = false;
  bool m_default = false;
  QPoint m_pressedOffset{1, 1};
  int m_imageMargin = 3;
  std::array<int, kColorCount> m_colors{};
  QIcon m_inIcon;
  QIcon m_outIcon;
  QSize m_inSize;
  QSize m_outSize;
  const QFont* m_captionFont = nullptr;
  QString m_tip;
  QString m_keyHint;
};
