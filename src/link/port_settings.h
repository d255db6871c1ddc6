#pragma once

#include <QString>

#include <functional>

namespace kv7m {

class AppSettings;
class ComPortLink;
class Prompter;

// What the port dialog's OK hands to the main window.
struct PortDialogActions {
    std::function<void(int)> setMainTableClearTimeOut;
    std::function<void(int)> setReplyTimeOut;
    std::function<void()> clearMessagePanel;
};

// The texts of the port dialog when OK is pressed.
struct PortDialogInput {
    QString portName;
    QString baudText;
    QString mainTableClearTimeOut;
    QString replyTimeOut;
};

enum class PortDialogOutcome {
    // Every setting taken: the dialog closes.
    Applied,
    // The port could not be opened ("Порт занят" was shown): the port box shows "n/a".
    PortNotOpened,
    // The port is open, but a time-out was no integer (reported): the dialog stays open.
    TimeOutNotInteger,
};

// OK of the port dialog: reopens the port, then takes both time-outs and remembers them as typed.
PortDialogOutcome applyPortSettings(ComPortLink& link, AppSettings& settings, Prompter& prompter,
                                    const PortDialogInput& input, const PortDialogActions& actions);

}  // namespace kv7m
