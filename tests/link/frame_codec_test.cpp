#include "link/frame_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace kv7m;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}

struct EncodeCase {
    const char* name;
    std::uint8_t address;
    std::uint8_t code;
    std::vector<std::uint8_t> data;
    std::string wire;
};

void PrintTo(const EncodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class EncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, ComposesAndEncodesReferenceFrame)
{
    const EncodeCase& c = GetParam();
    std::uint8_t frame[700];
    const std::size_t count = composeFrame(frame, sizeof frame, c.address, c.code, c.data.data(), c.data.size());
    ASSERT_EQ(count, c.data.size() + 6);
    EXPECT_EQ(frame[0], ':');
    EXPECT_EQ(frame[count - 2], 0x0D);
    EXPECT_EQ(frame[count - 1], 0x0A);
    const QByteArray wire = encodeFrame(frame, count);
    EXPECT_EQ(wire.toStdString(), c.wire + "\r\n");
    EXPECT_EQ(std::size_t(wire.size()), 2 * c.data.size() + 9);
}

INSTANTIATE_TEST_SUITE_P(ReferenceFrames, EncodeTest,
                         ::testing::Values(EncodeCase{"status", 1, 50, {}, ":0132CD"},
                                           EncodeCase{"startMeasurement", 1, 51, bytes({255}), ":0133FFCD"},
                                           EncodeCase{"address300", 0x2C, 50, {}, ":2C32A2"},
                                           EncodeCase{"lrcWrapsToZero", 0x80, 0x80, {}, ":808000"},
                                           EncodeCase{"lowerNibbles", 0x0A, 0x56, bytes({0x00, 0xF1, 0x1F}),
                                                      ":0A5600F11F90"},
                                           EncodeCase{"broadcastAddress", 0, 81, {}, ":0051AF"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameCodec, LrcMakesFrameSumZero)
{
    const std::vector<std::uint8_t> body = bytes({0x07, 0x34, 0x12, 0xFE, 0x99});
    std::uint8_t sum = computeLrc(body.data(), body.size());
    for (std::uint8_t b : body)
        sum = std::uint8_t(sum + b);
    EXPECT_EQ(sum, 0);
}

TEST(FrameCodec, ComposeRefusesWhatDoesNotFit)
{
    std::uint8_t frame[8];
    const std::uint8_t data[3] = {1, 2, 3};
    EXPECT_EQ(composeFrame(frame, sizeof frame, 1, 53, data, 3), 0u);
    EXPECT_EQ(composeFrame(frame, sizeof frame, 1, 53, data, 2), 8u);
}

struct DecodeCase {
    const char* name;
    std::string received;  // ':' through CR LF as characters
    bool good;
    int length;                         // RxLength after a complete decode
    std::vector<std::uint8_t> decoded;  // bytes at the start of the buffer
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, NeverTouchesMoreThanWasReceived)
{
    // A buffer of exactly the received characters: under AddressSanitizer any read or write past
    // them fails the test.
    const DecodeCase& c = GetParam();
    auto exact = std::make_unique<std::uint8_t[]>(c.received.size());
    std::copy(c.received.begin(), c.received.end(), exact.get());
    int length = -1;
    EXPECT_EQ(decodeReplyFrame(exact.get(), c.received.size(), length), c.good);
}

TEST_P(DecodeTest, DecodesInPlace)
{
    const DecodeCase& c = GetParam();
    // Guard bytes after the received characters catch any read or write past them.
    std::vector<std::uint8_t> buffer(c.received.begin(), c.received.end());
    buffer.resize(c.received.size() + 16, 0xEE);
    int length = -1;
    const bool good = decodeReplyFrame(buffer.data(), c.received.size(), length);
    EXPECT_EQ(good, c.good);
    for (std::size_t i = c.received.size(); i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0xEE) << "written past the received characters at " << i;
    if (c.length > 0) {
        EXPECT_EQ(length, c.length);
        for (std::size_t i = 0; i < c.decoded.size(); ++i)
            EXPECT_EQ(buffer[i], c.decoded[i]) << "byte " << i;
        EXPECT_EQ(buffer[std::size_t(length)], 0x0D);
        EXPECT_EQ(buffer[std::size_t(length) + 1], 0x0A);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceFrames, DecodeTest,
    ::testing::Values(DecodeCase{"statusReply", ":0132CD\r\n", true, 3, bytes({0x01, 0x32, 0xCD})},
                      DecodeCase{"wrongLrc", ":0132CE\r\n", false, 3, bytes({0x01, 0x32, 0xCE})},
                      DecodeCase{"withData", ":0133FFCD\r\n", true, 4, bytes({0x01, 0x33, 0xFF, 0xCD})},
                      // Lower-case letters are no hex digits: the value differs and the check fails.
                      DecodeCase{"lowerCaseHex", ":0132cd\r\n", false, 3, bytes({0x01, 0x32})},
                      DecodeCase{"oddCharacterCount", ":0132C\r\n", false, 0, {}},
                      DecodeCase{"oddCountWithTrailingChar", ":01320\r\n", false, 0, {}},
                      DecodeCase{"noPairs", ":\r\n", false, 0, {}}, DecodeCase{"colonOnly", ":", false, 0, {}},
                      DecodeCase{"noTerminator", ":0132CD", false, 0, {}},
                      DecodeCase{"terminatorCutOff", ":0132CD\r", false, 0, {}},
                      DecodeCase{"onlyLf", ":0132CD\n\n", false, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameCodec, LongestReplyRoundTrips)
{
    // A paced table frame: address, code, 130 data bytes, LRC = 269 characters on the wire.
    std::vector<std::uint8_t> data(130);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = std::uint8_t(i * 7 + 3);
    std::uint8_t frame[700];
    const std::size_t count = composeFrame(frame, sizeof frame, 0x11, 59, data.data(), data.size());
    const QByteArray wire = encodeFrame(frame, count);
    ASSERT_EQ(wire.size(), 269);

    std::vector<std::uint8_t> buffer(wire.begin(), wire.end());
    int length = 0;
    ASSERT_TRUE(decodeReplyFrame(buffer.data(), buffer.size(), length));
    ASSERT_EQ(length, 133);
    EXPECT_EQ(buffer[0], 0x11);
    EXPECT_EQ(buffer[1], 59);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer.begin() + 2));
}

}  // namespace
