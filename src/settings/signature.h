#pragma once

#include <cstddef>
#include <cstdint>

namespace kv7m {

// CRC-16/ARC over a block: the signature a unit returns for what it holds.
std::uint16_t ComputeSignature(const std::uint8_t* bytes, std::size_t count);

}  // namespace kv7m
