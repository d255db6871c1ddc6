#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace kv7m {

// Turns a byte stream into whole frames, ':' through CR LF. A ':' starts a frame (abandoning a
// partial one), bytes outside a frame and 0x00 bytes are dropped, and a frame that grows past
// `maxChars` without its CR LF is dropped as overflowed.
class FrameAssembler {
public:
    enum class Result { Pending, Complete, Overflow };

    explicit FrameAssembler(std::size_t maxChars = 1024);

    Result feed(std::uint8_t byte);
    // The characters of the frame completed last (valid after Complete until the next feed).
    const QByteArray& frame() const { return m_chars; }
    bool started() const { return m_started; }
    void reset();

private:
    std::size_t m_maxChars;
    QByteArray m_chars;
    bool m_started = false;
    bool m_complete = false;
};

}  // namespace kv7m
