#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv7m {

// The per-unit settings image: the same bytes a unit holds, laid out block by block.
namespace layout {
inline constexpr std::size_t kImageSize = 28160;
inline constexpr std::size_t kChunkSize = 128;
inline constexpr std::size_t kChunkCount = kImageSize / kChunkSize;  // 220
inline constexpr std::size_t kSlotSize = 128;

inline constexpr std::size_t kTableSize = 1408;
inline constexpr std::size_t kRelayOffset = 11264;
inline constexpr std::size_t kRelaySize = 8;
inline constexpr std::size_t kCommonOffset = 11392;
inline constexpr std::size_t kCommonSize = 20;
inline constexpr std::size_t kChannelConstantsSize = 37;
inline constexpr std::size_t kErrorTableMaxRows = 42;

// Graduation table of channel 1..8.
constexpr std::size_t graduationTableOffset(int channel)
{
    return kTableSize * std::size_t(channel - 1);
}
// Extended graduation table by table code 11..18.
constexpr std::size_t extendedTableOffset(int tableCode)
{
    return kTableSize * std::size_t(tableCode) + 384;
}
// Channel constants of channel 1..8.
constexpr std::size_t channelConstantsOffset(int channel)
{
    return kCommonOffset + kSlotSize * std::size_t(channel);
}
// Instrumental-error table of channel index 0..7.
constexpr std::size_t errorTableOffset(int channelIndex)
{
    return 27136 + kSlotSize * std::size_t(channelIndex);
}
}  // namespace layout

using SettingsImage = std::array<std::uint8_t, layout::kImageSize>;

// The image a new settings file (and a unit fresh from the factory) holds.
SettingsImage defaultSettingsImage();

// Volume of the default graduation table at point k (0..351): a smooth rising curve through the
// fixed points of the default table, 20241 from k = 340 on.
int defaultGraduationVolume(int k);

}  // namespace kv7m
