#include "ui/TypedTime.h"

#include <QRegularExpression>

std::optional<QTime> ParseTypedTime(const QString& text) {
  static const QRegularExpression pattern(
      QStringLiteral(R"(^\s*(\d{1,2})(?:\s*[:.]\s*(\d{1,2})?|(\d{2}))?\s*(?:([ap])\.?\s*(?:m\.?)?)?\s*$)"),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch()) return std::nullopt;
  int hour = match.captured(1).toInt();
  const QString minutes = match.captured(2).isEmpty() ? match.captured(3) : match.captured(2);
  const int minute = minutes.isEmpty() ? 0 : minutes.toInt();
  const QString half = match.captured(4).toLower();
  if (!half.isEmpty()) {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (half == QLatin1String("p") ? 12 : 0);
  }
  if (hour > 23 || minute > 59) return std::nullopt;
  return QTime(hour, minute);
}
