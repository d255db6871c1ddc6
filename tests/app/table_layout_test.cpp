#include "app/table_layout.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace kv7m;

namespace {

template <std::size_t N> int total(const std::array<int, N>& sizes)
{
    return std::accumulate(sizes.begin(), sizes.end(), 0);
}

class TableLayoutSizes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TableLayoutSizes, ResizeGivesTenAndNinePercentWithRemainderInColumn9)
{
    const auto [width, height] = GetParam();
    const SystemTableLayout layout = systemTableResizeLayout(width, height);
    EXPECT_EQ(layout.columns[0], int(0.1 * (width - 3)));
    for (std::size_t c = 1; c < 11; ++c) {
        if (c != 9) {
            EXPECT_EQ(layout.columns[c], int(0.09 * (width - 3))) << "column " << c;
        }
    }
    const int columnSum = total(layout.columns);
    EXPECT_TRUE(columnSum + 3 == width || columnSum + 4 == width) << columnSum << " of " << width;
    EXPECT_GE(layout.columns[9], layout.columns[8]);

    EXPECT_EQ(layout.rows[1], int(0.12 * (height - 3)));
    const int rowSum = total(layout.rows);
    EXPECT_TRUE(rowSum + 3 == height || rowSum + 4 == height) << rowSum << " of " << height;
}

TEST_P(TableLayoutSizes, CreationGivesTenPercentColumnsAndNinthRows)
{
    const auto [width, height] = GetParam();
    const SystemTableLayout layout = systemTableCreationLayout(width, height, 64);
    EXPECT_EQ(layout.columns[0], int(0.1 * (width - 3)));
    EXPECT_EQ(layout.columns[10], 64);
    const int sumOf0To9 = total(layout.columns) - 64;
    EXPECT_TRUE(sumOf0To9 + 3 == width || sumOf0To9 + 4 == width);
    EXPECT_EQ(layout.rows[8], int(0.1111 * (height - 3)));
    const int rowSum = total(layout.rows);
    EXPECT_TRUE(rowSum + 3 == height || rowSum + 4 == height);
}

TEST_P(TableLayoutSizes, ChannelTableFollowsSystemTableLessScrollBar)
{
    const auto [width, height] = GetParam();
    (void)height;
    const int scrollBar = 16;
    const std::array<int, 11> columns = channelTableColumns(width, width, scrollBar);
    const int base = width - scrollBar - 1 - 3;
    EXPECT_EQ(columns[0], int(0.1 * base));
    EXPECT_EQ(columns[1], int(0.09 * base));
    const int sum = total(columns);
    EXPECT_TRUE(sum == base || sum == base - 1) << sum << " of " << base;
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, TableLayoutSizes,
                         ::testing::Values(std::pair{800, 500}, std::pair{853, 517}, std::pair{1003, 777},
                                           std::pair{1917, 1003}, std::pair{3843, 2163}, std::pair{1234, 601}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

TEST(TableLayout, ChannelTableTakesBaseFromSystemTableAndRemainderFromItsOwnWidth)
{
    // s = 17, base = 1000 - 17 - 3 = 980: column 0 98, the others 88 (sum 978); the channel table's
    // own 980 - 17 - 3 = 960 differs, so column 9 changes by 980 - 978 - 17 - 4 = -19.
    const std::array<int, 11> narrower = channelTableColumns(1000, 980, 16);
    const std::array<int, 11> expected = {98, 88, 88, 88, 88, 88, 88, 88, 88, 69, 88};
    EXPECT_EQ(narrower, expected);
    // Swapping the widths gives another layout: the base is always the system table's.
    const std::array<int, 11> swapped = channelTableColumns(980, 1000, 16);
    EXPECT_EQ(swapped[0], 96);
    EXPECT_EQ(swapped[1], 86);
}

TEST(TableLayout, WorkedExample)
{
    // 1003 wide: 1000 * 0.1 = 100, 1000 * 0.09 = 90 (x10) = 1000: sum + 3 == width, no remainder.
    const SystemTableLayout even = systemTableResizeLayout(1003, 503);
    EXPECT_EQ(even.columns[0], 100);
    EXPECT_EQ(even.columns[9], 90);
    // 1010 wide: 100 + 10 * 90 = 1000, remainder 1010 - 1000 - 4 = 6 goes to column 9.
    const SystemTableLayout odd = systemTableResizeLayout(1010, 503);
    EXPECT_EQ(odd.columns[0], 100);
    EXPECT_EQ(odd.columns[8], 90);
    EXPECT_EQ(odd.columns[9], 96);
    EXPECT_EQ(odd.columns[10], 90);
    // 503 high: row 0 = 20, rows 1..8 = 60 each: 500, no remainder.
    EXPECT_EQ(even.rows[0], 20);
    EXPECT_EQ(even.rows[5], 60);
}

}  // namespace
