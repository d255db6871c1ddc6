#include "link/frame_assembler.h"

#include "link/frame_codec.h"

namespace kv7m {

FrameAssembler::FrameAssembler(std::size_t maxChars) : m_maxChars(maxChars)
{
    m_chars.reserve(qsizetype(maxChars));
}

void FrameAssembler::reset()
{
    m_started = false;
    m_complete = false;
    m_chars.truncate(0);
}

FrameAssembler::Result FrameAssembler::feed(std::uint8_t byte)
{
    if (m_complete)
        reset();
    if (byte == 0x00)
        return Result::Pending;
    if (byte == kFrameStart) {
        m_chars.truncate(0);
        m_started = true;
    }
    if (!m_started)
        return Result::Pending;
    if (std::size_t(m_chars.size()) >= m_maxChars) {
        reset();
        return Result::Overflow;
    }
    m_chars.append(char(byte));
    const qsizetype n = m_chars.size();
    if (n >= 2 && m_chars[n - 2] == char(kCR) && m_chars[n - 1] == char(kLF)) {
        m_complete = true;
        return Result::Complete;
    }
    return Result::Pending;
}

}  // namespace kv7m
