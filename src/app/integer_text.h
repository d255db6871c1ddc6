#pragma once

#include <QString>

#include <optional>

namespace kv7m {

// Text to integer as the program has always read it: optional leading blanks, an optional sign,
// then decimal digits (or '$' and hexadecimal digits), nothing after them, within 32 bits.
std::optional<int> parseInteger(const QString& text);

// Message of a failed text-to-integer conversion.
QString integerConversionErrorText(const QString& text);

}  // namespace kv7m
