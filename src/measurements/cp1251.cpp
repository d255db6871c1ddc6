#include "measurements/cp1251.h"

namespace kv7m {

QByteArray toCp1251(const QString& text) { return text.toLatin1(); }
QString fromCp1251(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

}  // namespace kv7m
