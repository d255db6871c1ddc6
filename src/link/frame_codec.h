#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace kv7m {

// Framing shared by requests and replies: ':' + hex pairs (address, code, data, LRC) + CR LF.
inline constexpr std::uint8_t kFrameStart = ':';
inline constexpr std::uint8_t kCR = 0x0D;
inline constexpr std::uint8_t kLF = 0x0A;

// Unencoded frame: ':' address code data... LRC CR LF, i.e. data count + 6 bytes.
inline constexpr std::size_t kFrameOverhead = 6;

// Negated 8-bit sum: adding it to the summed bytes gives 0.
std::uint8_t computeLrc(const std::uint8_t* bytes, std::size_t count);

// Lays out ':' address code data LRC CR LF at `frame` and returns the byte count, or 0 when
// `capacity` cannot hold it.
std::size_t composeFrame(std::uint8_t* frame, std::size_t capacity, std::uint8_t address, std::uint8_t code,
                         const std::uint8_t* data, std::size_t dataCount);

// Wire text of an unencoded frame of `count` bytes (':' through LF): ':' + upper-case hex of
// bytes 1 .. count-3 + CR LF, 2 * (count - 3) + 3 characters. Empty when count is below 6.
QByteArray encodeFrame(const std::uint8_t* frame, std::size_t count);

// The byte of two received hex characters, high first. Units send upper-case digits; any other
// character counts at the value the unit tool has always given it, and the LRC catches the damage.
std::uint8_t hexPairValue(std::uint8_t high, std::uint8_t low);

// Decodes a received frame in place. `buffer` holds `receivedChars` characters starting with ':'.
// Hex pairs are read from index 1 until CR LF follows a pair; the bytes are written from index 0,
// `length` receives their count and CR LF are put after them. Returns true when the bytes sum to
// 0 (LRC good). A frame without a pair, or whose CR LF does not follow a pair within the received
// characters, is rejected (false) without reading past them; `buffer` may then be partly rewritten.
bool decodeReplyFrame(std::uint8_t* buffer, std::size_t receivedChars, int& length);

}  // namespace kv7m
