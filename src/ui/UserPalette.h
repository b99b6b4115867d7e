#pragma once

#include <QPalette>

class UTSettings;

// Every window in the user's colours, whatever the desktop's theme says: the
// colour roles all controls draw with, made from the settings.
QPalette UserPalette(const UTSettings& settings);
// Text of a control that cannot be used now: between the text and the
// background colour, yet readable (3 : 1) against the background.
QColor DisabledTextColor(const QColor& text, const QColor& background);
// The colour of fields to type in: white on a light background, a lighter
// shade of a dark one, so that the user's text colour stays readable in them.
QColor FieldColor(const UTSettings& settings);
// Draws the whole application in one style that follows its palette, with
// the palette of the current settings; again after the colours change.
void ApplyUserPalette(const UTSettings& settings);
