#pragma once

#include <QChar>
#include <QString>

namespace kv7m {

class AppSettings;
class Clock;
class Prompter;
class SerialPort;

// What the main window is given from outside: chosen in one place by the program entry, by
// tests with their doubles.
struct AppServices {
    AppSettings& settings;
    Prompter& prompter;
    SerialPort& port;
    const Clock& clock;
    // The user's decimal separator.
    QChar decimalSeparator;
    // The user's data location; missing settings and archive folders default to folders in it.
    QString dataRoot;
};

}  // namespace kv7m
