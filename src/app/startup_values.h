#pragma once

#include <QString>

namespace kv7m {

class AppSettings;
class Prompter;

// The application settings the main window reads when it is created.
struct StartupValues {
    QString settingsPath;
    QString dataPath;
    QString unitAddress;
    int mainTableClearTimeOut = 60;
    int replyTimeOut = 60;
};

// The time-outs the port dialog proposes; a missing or unreadable time-out takes these.
inline constexpr int kDefaultTimeOutSeconds = 60;

// Reads the start-up values. An empty or missing time-out takes the default and is written back;
// one that is not a decimal integer is reported, then takes the default too. A missing settings
// or archive folder becomes a folder under `dataRoot`, the user's data location.
StartupValues readStartupValues(AppSettings& settings, Prompter& prompter, const QString& dataRoot);

}  // namespace kv7m
