#include "link/frame_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv7m;

namespace {

std::vector<std::string> framesOf(const std::string& stream, std::size_t maxChars = 1024, int* overflows = nullptr)
{
    FrameAssembler assembler(maxChars);
    std::vector<std::string> frames;
    for (const char c : stream) {
        const FrameAssembler::Result result = assembler.feed(std::uint8_t(c));
        if (result == FrameAssembler::Result::Complete)
            frames.push_back(assembler.frame().toStdString());
        if (result == FrameAssembler::Result::Overflow && overflows)
            ++*overflows;
    }
    return frames;
}

TEST(FrameAssembler, CutsTheStreamIntoFrames)
{
    struct Case {
        const char* name;
        std::string stream;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {"strayCharactersBefore", "ab:0132CD\r\n", {":0132CD\r\n"}},
        {"restartAtColon", ":01:0133FFCD\r\n", {":0133FFCD\r\n"}},
        {"twoBackToBack", ":0132CD\r\n:0133FFCD\r\n", {":0132CD\r\n", ":0133FFCD\r\n"}},
        {"junkBetween", ":0132CD\r\nxyz\r\n:0132CD\r\n", {":0132CD\r\n", ":0132CD\r\n"}},
        {"zeroBytesDropped",
         std::string(":01\0"
                     "32CD\r\n",
                     10),
         {":0132CD\r\n"}},
        {"crAloneDoesNotEnd", ":0132CD\r:01\r\n", {":01\r\n"}},
        {"noColonNoFrame", "0132CD\r\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(framesOf(c.stream), c.frames) << c.name;
}

TEST(FrameAssembler, DropsAFrameThatOutgrowsItsBound)
{
    int overflows = 0;
    const std::string longFrame = ":" + std::string(40, 'A') + "\r\n";
    EXPECT_TRUE(framesOf(longFrame + ":0132CD\r\n", 16, &overflows) == std::vector<std::string>{":0132CD\r\n"});
    EXPECT_EQ(overflows, 1);
    // Exactly at the bound still fits.
    EXPECT_EQ(framesOf(":0133FFCD\r\n", 11).size(), 1u);
}

}  // namespace
