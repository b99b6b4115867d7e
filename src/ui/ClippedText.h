#pragma once

#include <QString>

class QFontMetrics;
class QHelpEvent;
class QWidget;

// Texts that may not fit where they are drawn: cut with an ellipsis, and the
// whole text in a tooltip when the pointer rests on a cut one.
QString ElidedText(const QFontMetrics& metrics, const QString& text, int width);
// Answers a tooltip request over a text drawn in this width: the whole text
// when it did not fit, no tooltip when it did. True when the event is handled.
bool ShowTipIfClipped(QHelpEvent* event, QWidget* over, const QFontMetrics& metrics, const QString& text, int width);
