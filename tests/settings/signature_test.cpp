#include "settings/signature.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv7m;

TEST(Signature, Crc16ArcCheckValues)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::uint16_t signature;
    };
    const std::string digits = "123456789";
    std::vector<std::uint8_t> oneThenZeros(20, 0);
    oneThenZeros[0] = 0x01;
    const Case cases[] = {
        {{digits.begin(), digits.end()}, 0xBB3D},
        {{0x61, 0x62, 0x63}, 0x9738},
        {oneThenZeros, 0xD13D},
        {std::vector<std::uint8_t>(20, 0), 0},
        {std::vector<std::uint8_t>(28160, 0), 0},
        {{}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeSignature(c.bytes.data(), c.bytes.size()), c.signature) << c.bytes.size() << " bytes";
}
