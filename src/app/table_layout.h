#pragma once

#include <array>

namespace kv7m {

// Column widths and row heights of the main window's two tables. Each size is the control's width
// or height less 3 pixels times a fraction, truncated; what truncation leaves over goes to one
// column or row.

struct SystemTableLayout {
    std::array<int, 11> columns{};
    std::array<int, 9> rows{};
};

// At creation: columns 0..9 take 10 % each (column 10 keeps `column10`), rows 11.11 % each.
SystemTableLayout systemTableCreationLayout(int width, int height, int column10);

// On every resize: column 0 10 %, columns 1..10 9 % each, remainder in column 9; row 0 4 %,
// rows 1..8 12 % each, remainder in row 0.
SystemTableLayout systemTableResizeLayout(int width, int height);

// The channel table follows the system table's width less its own scroll bar (`scrollBarWidth`);
// the remainder against its own width goes to column 9.
std::array<int, 11> channelTableColumns(int systemTableWidth, int channelTableWidth, int scrollBarWidth);

}  // namespace kv7m
