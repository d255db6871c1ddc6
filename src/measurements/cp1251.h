#pragma once

#include <QByteArray>
#include <QString>

namespace kv7m {

// Code page 1251 (Windows Cyrillic), the code page of the unit tool's text files. Characters the
// code page cannot hold become '?'.
QByteArray toCp1251(const QString& text);
QString fromCp1251(const QByteArray& bytes);

}  // namespace kv7m
