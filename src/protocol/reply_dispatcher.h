#pragma once

#include <QChar>

#include <array>
#include <cstdint>
#include <functional>

namespace kv7m {

class FrameSender;
class Prompter;
struct ProtocolState;

// Every complete frame from the line goes through here: it is decoded and checked in place, then
// handled by the handler of its command code. Replies are paired with nothing: a late reply, a
// reply from another unit and a frame the unit sent by itself are all handled alike.
class ReplyDispatcher {
public:
    using Handler = std::function<void()>;

    // `checksumError` lights the checksum-error indicator.
    ReplyDispatcher(ProtocolState& state, std::function<void()> checksumError);

    // The handler of a command code; the owner of each command registers its own.
    void setHandler(std::uint8_t code, Handler handler);

    // Decodes the frame assembled in RxFrame (characters up to FrameIndex), runs its handler
    // and resets the assembler.
    void DispatchReply();
    // Drops the frame being assembled as a failed check.
    void rejectFrame();

private:
    ProtocolState& m_state;
    std::function<void()> m_checksumError;
    std::array<Handler, 256> m_handlers;
};

// Replies 76, 98 and 226, which the program never asks for.
void registerUnitInitiatedReplies(ReplyDispatcher& dispatcher, ProtocolState& state, Prompter& prompter,
                                  FrameSender& sender, std::function<QChar()> decimalSeparator);

}  // namespace kv7m
