#include "app/table_layout.h"

#include <numeric>

namespace kv7m {

namespace {

int part(double fraction, int size)
{
    return int(fraction * size);
}

template <std::size_t N> int sum(const std::array<int, N>& sizes, std::size_t count = N)
{
    return std::accumulate(sizes.begin(), sizes.begin() + count, 0);
}

}  // namespace

SystemTableLayout systemTableCreationLayout(int width, int height, int column10)
{
    SystemTableLayout layout;
    for (std::size_t c = 0; c < 10; ++c)
        layout.columns[c] = part(0.1, width - 3);
    layout.columns[10] = column10;
    const int columnSum = sum(layout.columns, 10);
    if (columnSum + 3 != width)
        layout.columns[9] += width - columnSum - 4;
    for (int& row : layout.rows)
        row = part(0.1111, height - 3);
    const int rowSum = sum(layout.rows);
    if (rowSum + 3 != height)
        layout.rows[0] += height - rowSum - 4;
    return layout;
}

SystemTableLayout systemTableResizeLayout(int width, int height)
{
    SystemTableLayout layout;
    layout.columns[0] = part(0.1, width - 3);
    for (std::size_t c = 1; c < 11; ++c)
        layout.columns[c] = part(0.09, width - 3);
    const int columnSum = sum(layout.columns);
    if (width != columnSum + 3)
        layout.columns[9] += width - columnSum - 4;
    layout.rows[0] = part(0.04, height - 3);
    for (std::size_t r = 1; r < 9; ++r)
        layout.rows[r] = part(0.12, height - 3);
    const int rowSum = sum(layout.rows);
    if (height != rowSum + 3)
        layout.rows[0] += height - rowSum - 4;
    return layout;
}

std::array<int, 11> channelTableColumns(int systemTableWidth, int channelTableWidth, int scrollBarWidth)
{
    const int s = scrollBarWidth + 1;
    const int base = systemTableWidth - s - 3;
    std::array<int, 11> columns{};
    columns[0] = part(0.1, base);
    for (std::size_t c = 1; c < 11; ++c)
        columns[c] = part(0.09, base);
    const int columnSum = sum(columns);
    if (channelTableWidth - s - 3 != columnSum)
        columns[9] += channelTableWidth - columnSum - s - 4;
    return columns;
}

}  // namespace kv7m
