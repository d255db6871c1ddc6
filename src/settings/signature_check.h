#pragma once

#include <QString>

namespace kv7m {

class Prompter;

// Tells the user whether the signature a unit returned is the one expected of its block.
void reportSignatureCheck(Prompter& prompter, int unitSignature, int expectedSignature);

namespace signature_text {
inline const QString Matches = QStringLiteral("Сигнатура совпадает");
inline const QString Differs = QStringLiteral("Сигнатура не совпадает");
}  // namespace signature_text

}  // namespace kv7m
