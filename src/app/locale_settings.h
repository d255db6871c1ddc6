#pragma once

#include <QChar>

class QApplication;
class QTranslator;

namespace kv7m {

// The user's decimal separator, from the system locale.
QChar systemDecimalSeparator();

// Installs Qt's own Russian texts (standard buttons, dialogs); false when they are not installed.
bool installRussianQtTranslation(QApplication& app, QTranslator& translator);

}  // namespace kv7m
