#include "measurements/number_format.h"

namespace kv7m {

QString formatGeneral(double value, int digits, QChar separator)
{
    QString text = QString::number(value, 'g', digits);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    if (separator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), separator);
    return text;
}

std::optional<double> parseLocaleNumber(const QString& text, QChar separator)
{
    QString normal = text.trimmed();
    if (normal.isEmpty())
        return std::nullopt;
    // Only the locale's separator is a decimal separator; a point elsewhere is an error.
    if (separator != QLatin1Char('.')) {
        if (normal.contains(QLatin1Char('.')))
            return std::nullopt;
        normal.replace(separator, QLatin1Char('.'));
    }
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

}  // namespace kv7m
