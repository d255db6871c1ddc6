#include "app/integer_text.h"

#include <limits>

namespace kv7m {

std::optional<int> parseInteger(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const int digit = text[i].isDigit() && text[i].unicode() < 128 ? text[i].unicode() - '0'
                          : base == 16 && QStringLiteral("ABCDEFabcdef").contains(text[i])
                              ? text[i].toUpper().unicode() - 'A' + 10
                              : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

QString integerConversionErrorText(const QString& text)
{
    return QStringLiteral("'%1' не является целым числом").arg(text);
}

}  // namespace kv7m
