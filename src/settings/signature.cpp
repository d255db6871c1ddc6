#include "settings/signature.h"

namespace kv7m {

std::uint16_t ComputeSignature(const std::uint8_t* bytes, std::size_t count)
{
    std::uint16_t s = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t b = bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            s = ((s ^ b) & 1) ? std::uint16_t((s >> 1) ^ 0xA001) : std::uint16_t(s >> 1);
            b >>= 1;
        }
    }
    return s;
}

}  // namespace kv7m
