#include "settings/settings_layout.h"

#include <gtest/gtest.h>

using namespace kv7m;

namespace {

int word(const SettingsImage& image, std::size_t offset)
{
    return image[offset] << 8 | image[offset + 1];
}

bool allFF(const SettingsImage& image, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i) {
        if (image[i] != 0xFF)
            return false;
    }
    return true;
}

TEST(SettingsLayout, BlockOffsetsOfTheImage)
{
    EXPECT_EQ(layout::kImageSize, 28160u);
    EXPECT_EQ(layout::graduationTableOffset(8), 9856u);
    EXPECT_EQ(layout::channelConstantsOffset(1), 11520u);
    EXPECT_EQ(layout::channelConstantsOffset(8), 12416u);
    EXPECT_EQ(layout::extendedTableOffset(11), 15872u);
    EXPECT_EQ(layout::extendedTableOffset(18), 25728u);
    EXPECT_EQ(layout::errorTableOffset(0), 27136u);
    EXPECT_EQ(layout::errorTableOffset(7) + 128, layout::kImageSize);
}

TEST(SettingsLayout, DefaultImageHoldsEveryDefaultBlock)
{
    const SettingsImage image = defaultSettingsImage();
    for (int channel = 1; channel <= 8; ++channel) {
        const std::size_t table = layout::graduationTableOffset(channel);
        EXPECT_EQ(word(image, table), 100) << channel;
        EXPECT_EQ(word(image, table + 2), 0);
        for (int k = 1; k <= 351; ++k) {
            ASSERT_EQ(word(image, table + 4 * std::size_t(k)), std::min(10 * k, 3400)) << "level " << k;
            ASSERT_EQ(word(image, table + 4 * std::size_t(k) + 2), defaultGraduationVolume(k)) << "volume " << k;
        }

        const std::size_t constants = layout::channelConstantsOffset(channel);
        EXPECT_EQ(image[constants], 0);
        const int defaults[18] = {7000, 3500, 2155, 0, 1120, 700, 300, 0, 0, 0, 9499, 581, 50, 60, 5, 20, 30, 100};
        for (int w = 0; w < 18; ++w)
            EXPECT_EQ(word(image, constants + 1 + 2 * std::size_t(w)), defaults[w]) << "word " << w + 1;
        EXPECT_TRUE(allFF(image, constants + 37, constants + 128));

        const std::size_t extended = layout::extendedTableOffset(channel + 10);
        for (int k = 0; k < 352; ++k) {
            ASSERT_EQ(word(image, extended + 4 * std::size_t(k)), std::min(100 * k, 10000)) << k;
            ASSERT_EQ(word(image, extended + 4 * std::size_t(k) + 2), std::min(100 * k, 10000)) << k;
        }

        const std::size_t errors = layout::errorTableOffset(channel - 1);
        EXPECT_EQ(image[errors], 0x01);
        EXPECT_EQ(image[errors + 1], 0x00);
        EXPECT_EQ(image[errors + 2], 0x00);
        EXPECT_EQ(image[errors + 3], 0x00);
        EXPECT_TRUE(allFF(image, errors + 4, errors + 128));
    }
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(image[layout::kRelayOffset + i], 0x80);
    EXPECT_TRUE(allFF(image, layout::kRelayOffset + 8, layout::kCommonOffset));
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(image[layout::kCommonOffset + i], 0x00);
    EXPECT_TRUE(allFF(image, layout::kCommonOffset + 20, layout::channelConstantsOffset(1)));
    EXPECT_TRUE(allFF(image, 12544, 15872));
}

TEST(SettingsLayout, DefaultVolumeCurveMeetsItsPointsAndRises)
{
    const std::pair<int, int> fixed[] = {{0, 0},      {1, 5},       {2, 15},      {3, 27},      {4, 42},     {5, 59},
                                         {100, 4931}, {200, 12402}, {300, 18933}, {340, 20241}, {351, 20241}};
    for (const auto& [k, volume] : fixed)
        EXPECT_EQ(defaultGraduationVolume(k), volume) << "k = " << k;
    for (int k = 1; k <= 340; ++k)
        EXPECT_GT(defaultGraduationVolume(k), defaultGraduationVolume(k - 1)) << "k = " << k;
    // Smooth: no step much larger than its neighbours.
    for (int k = 2; k < 340; ++k) {
        const int before = defaultGraduationVolume(k) - defaultGraduationVolume(k - 1);
        const int after = defaultGraduationVolume(k + 1) - defaultGraduationVolume(k);
        EXPECT_LE(std::abs(after - before), 6) << "k = " << k;
    }
}

}  // namespace
