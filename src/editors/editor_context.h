#pragma once

#include <functional>
#include <optional>

namespace kv7m {

class FrameSender;
class Prompter;
class ReplyDispatcher;
class SettingsFile;
struct ProtocolState;

// What every configuration editor works with: the shared protocol state (its signature slot),
// the senders, the prompts, the unit's settings file, and the current unit address.
struct EditorContext {
    ProtocolState& state;
    FrameSender& sender;
    Prompter& prompter;
    SettingsFile& settingsFile;
    ReplyDispatcher& dispatcher;
    // The current unit address as typed (it names the settings file); nothing, after the
    // conversion error was shown, when it is not a number.
    std::function<std::optional<int>()> unitAddress;
};

}  // namespace kv7m
