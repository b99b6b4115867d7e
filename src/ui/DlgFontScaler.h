#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>

struct DialogTemplate;

// Lays a dialog out again from its template for a fixed dots-per-inch value,
// so every dialog has the same size and proportions whatever the screen's own
// font setting: the template font is made at that resolution, measured, and
// the window and each template control are moved and given the font.
class DlgFontScaler {
 public:
  // Pixels per dialog unit, times four horizontally and times eight vertically.
  struct BaseUnits {
    int x = 0;
    int y = 0;
  };

  // Average width from the 52 letters and the font's height.
  static BaseUnits MeasureBaseUnits(const QFont& font);
  // The template's font at the given resolution.
  static QFont TemplateFont(const DialogTemplate& dialogTemplate, double dpi);
  // A rectangle in dialog units converted to pixels, each value rounded.
  static QRect DialogUnitsToPixels(const QRect& units, BaseUnits base);

  // Does nothing when no template has this id.
  void ScaleDialog(QWidget* window, int templateId, double dpi);
  // Gives the window and the template's controls their previous font back.
  // (Fonts are values here: a dialog that goes away needs no restoring.)
  void RestoreFonts();

  // The font made by the last ScaleDialog, or null.
  const QFont* GetFont() const;
  BaseUnits GetBaseUnits() const { return m_units; }

 private:
  // The template's controls among the window's children, walked in stacking
  // order; the walk ends at the first item that has no control.
  template <class Visit>
  void WalkItems(const DialogTemplate& dialogTemplate, Visit visit) const;

  int m_templateId = 0;
  QPointer<QWidget> m_window;
  std::optional<QFont> m_font;
  QFont m_previousFont;
  bool m_active = false;
  BaseUnits m_units;
};
