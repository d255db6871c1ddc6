#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace kv7m {

// A number in the general format: the shortest text with at most `digits` significant digits,
// trailing zeros and a bare decimal point dropped, with `separator` as the decimal separator.
QString formatGeneral(double value, int digits, QChar separator);

// A decimal number typed or shown in the user's locale: `separator` is the decimal separator;
// leading and trailing blanks are allowed, nothing else.
std::optional<double> parseLocaleNumber(const QString& text, QChar separator);

}  // namespace kv7m
