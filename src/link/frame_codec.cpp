#include "link/frame_codec.h"

namespace kv7m {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::uint8_t hexValue(std::uint8_t c)
{
    return c < ':' ? std::uint8_t(c - 0x30) : std::uint8_t(c - 0x37);
}

}  // namespace

std::uint8_t hexPairValue(std::uint8_t high, std::uint8_t low)
{
    return std::uint8_t(hexValue(high) * 16 + hexValue(low));
}

std::uint8_t computeLrc(const std::uint8_t* bytes, std::size_t count)
{
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum = std::uint8_t(sum + bytes[i]);
    return std::uint8_t(-sum);
}

std::size_t composeFrame(std::uint8_t* frame, std::size_t capacity, std::uint8_t address, std::uint8_t code,
                         const std::uint8_t* data, std::size_t dataCount)
{
    const std::size_t count = dataCount + kFrameOverhead;
    if (count > capacity)
        return 0;
    frame[0] = kFrameStart;
    frame[1] = address;
    frame[2] = code;
    for (std::size_t i = 0; i < dataCount; ++i)
        frame[3 + i] = data[i];
    frame[3 + dataCount] = computeLrc(frame + 1, dataCount + 2);
    frame[4 + dataCount] = kCR;
    frame[5 + dataCount] = kLF;
    return count;
}

QByteArray encodeFrame(const std::uint8_t* frame, std::size_t count)
{
    if (count < kFrameOverhead)
        return {};
    QByteArray text;
    text.reserve(qsizetype(2 * (count - 3) + 3));
    text.append(char(kFrameStart));
    for (std::size_t i = 1; i <= count - 3; ++i) {
        text.append(kHexDigits[frame[i] >> 4]);
        text.append(kHexDigits[frame[i] & 0x0F]);
    }
    text.append(char(kCR));
    text.append(char(kLF));
    return text;
}

bool decodeReplyFrame(std::uint8_t* buffer, std::size_t receivedChars, int& length)
{
    std::size_t i = 1;
    std::size_t j = 0;
    std::uint8_t sum = 0;
    length = 0;
    for (;;) {
        // A pair and the two characters after it must have arrived.
        if (i + 3 >= receivedChars)
            return false;
        const std::uint8_t byte = hexPairValue(buffer[i], buffer[i + 1]);
        buffer[j++] = byte;
        sum = std::uint8_t(sum + byte);
        i += 2;
        if (buffer[i] == kCR && buffer[i + 1] == kLF)
            break;
    }
    length = int(j);
    buffer[j] = kCR;
    buffer[j + 1] = kLF;
    return sum == 0;
}

}  // namespace kv7m
