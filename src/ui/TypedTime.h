#pragma once

#include <QString>
#include <QTime>
#include <optional>

// A time of day as people type it: "5", "17", "1730", "17:30", "5:30 PM",
// "5.30pm", "5p". Without AM or PM the hour counts on a 24-hour clock; with
// one, 12 AM is midnight and 12 PM noon. Nothing when the text is no time.
std::optional<QTime> ParseTypedTime(const QString& text);
