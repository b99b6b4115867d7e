#pragma once

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <map>
#include <optional>

#include "ui/DlgFontScaler.h"

class QPainter;
class QTimer;

// The base of every window of the program. It builds the window's controls
// from its dialog template and lays them out for a 120-dpi font, paints the
// user's background colour, lends its four fonts to the derived dialogs, lets
// a caption-less window be dragged by its background, fades a layered window
// in and, while idle, to translucency, draws the frames and the emblem, and
// carries the five operations through which the main window drives a view.
class DlgBase : public QDialog {
  Q_OBJECT

 public:
  // Results of DoModal.
  enum { kIdOk = 1, kIdCancel = 2 };
  // Timers the base uses on every dialog.
  enum { kTimerFadeIn = 1, kTimerIdleFade = 200 };

  explicit DlgBase(int templateId, QWidget* parent = nullptr);

  // The control made from the template item with this id, or null.
  QWidget* GetDlgItem(int id) const;

  // Initialises the dialog (once) and runs it modally: kIdOk or kIdCancel.
  virtual int DoModal();
  // Initialises the dialog without showing it; showing it does so as well.
  void Create();

  // The view operations. The base answers the first four with a message, since
  // only the views (and the category manager's list) may be driven this way.
  virtual void OnAddItem();
  virtual void OnDeleteItems();
  virtual void OnEditItem();
  virtual void RefreshList();
  virtual void FocusList();

  // Sets the window's opacity (0-255) when the dialog is layered and the
  // platform can change it; otherwise changes nothing. Returns 1.
  int SetLayeredAlpha(int alpha);
  // Repaints every control, for instance in newly chosen colours.
  void InvalidateChildren();
  // The brush a control's background is painted with: the user's current
  // background colour, except for edit fields, which keep their own.
  QBrush OnCtlColorBase(const QWidget* control) const;

  const QFont& GetTitleFont() const;
  const QFont& GetButtonFont() const;
  const QFont& GetTextFont() const;
  const QFont& GetCaptionButtonFont() const;
  // The font the layout was made with, once the dialog is initialised.
  const QFont* GetScaledDialogFont() const { return m_fontScaler.GetFont(); }
  const DlgFontScaler& GetFontScaler() const { return m_fontScaler; }
  int GetTemplateId() const { return m_templateId; }

  // A timer per id, named "timer<id>"; starting a running one restarts it.
  void StartTimer(int id, int milliseconds);
  void KillTimer(int id);

 protected:
  // Runs once, before the dialog is first shown. Derived dialogs call the
  // base first: it applies the layered style and the template layout.
  virtual bool OnInitDialog();
  bool InitDialogBase(int templateId);
  // Ends the dialog with kIdOk or kIdCancel; buttons 1 and 2, Enter and
  // Escape lead here.
  virtual void OnOK();
  virtual void OnCancel();
  virtual void OnTimer(int id);
  // Fades a layered window out in 13 immediate steps, down to alpha 10, before
  // it closes; other windows do not change.
  void FadeOut();
  // Paints over the background; the base paints nothing more.
  virtual void OnPaint(QPainter& painter);

  void DrawFrame(QPainter& painter) const;
  void DrawWideFrame(QPainter& painter) const;
  void DrawEmblem(QPainter& painter) const;

  void accept() override;
  void reject() override;
  void paintEvent(QPaintEvent* event) override;
  void setVisible(bool visible) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

  // On the owner's window, or on the screen for a window without one.
  void CentreWindow();

  // 0 for the record views: the mouse handlers then do nothing.
  int m_draggable = 1;
  // 1 for a window whose opacity the fades change (set by the constructor).
  int m_layered = 0;

 private:
  void CreateControls();
  void ApplyBackground();
  void DrawFrameWith(QPainter& painter, int borderWidth, int inset) const;

  int m_templateId;
  // Each made when first asked for: measuring a font loads its face, and
  // most dialogs use only some of them (the main window never the title's).
  mutable std::optional<QFont> m_titleFont;
  mutable std::optional<QFont> m_buttonFont;
  mutable std::optional<QFont> m_textFont;
  mutable std::optional<QFont> m_captionButtonFont;
  QPoint m_pressPoint;
  int m_dragging = 0;
  DlgFontScaler m_fontScaler;
  std::map<int, QTimer*> m_timers;
  bool m_initialised = false;
};
