#pragma once

#include "measurements/cell_grid.h"

#include <vector>

namespace kv7m {

// A table of cells in memory.
class MemoryGrid : public CellGrid {
public:
    MemoryGrid(int rows, int columns) : m_columns(columns) { setRowCount(rows); }

    int rowCount() const override { return int(m_cells.size()) / m_columns; }
    void setRowCount(int rows) override { m_cells.resize(std::size_t(rows * m_columns)); }
    int columnCount() const override { return m_columns; }
    QString text(int row, int column) const override { return cell(row, column).text; }
    void setText(int row, int column, const QString& text) override { cell(row, column).text = text; }
    VclColor fontColor(int row, int column) const override { return cell(row, column).color; }
    void setFontColor(int row, int column, VclColor color) override { cell(row, column).color = color; }
    CellStyle fontStyle(int row, int column) const override { return cell(row, column).style; }
    void setFontStyle(int row, int column, CellStyle style) override { cell(row, column).style = style; }
    CellPicture picture(int row, int column) const override { return cell(row, column).picture; }
    void setPicture(int row, int column, CellPicture picture) override { cell(row, column).picture = picture; }

private:
    struct Cell {
        QString text;
        VclColor color = color::WindowText;
        CellStyle style = CellStyle::Normal;
        CellPicture picture = CellPicture::None;
    };
    Cell& cell(int row, int column) { return m_cells.at(std::size_t(row * m_columns + column)); }
    const Cell& cell(int row, int column) const { return m_cells.at(std::size_t(row * m_columns + column)); }

    int m_columns;
    std::vector<Cell> m_cells;
};

}  // namespace kv7m
