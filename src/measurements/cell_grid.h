#pragma once

#include <QString>

#include <cstdint>

namespace kv7m {

// Colours as the unit tool has always named them: 0x00BBGGRR, or a system colour (high bit set).
using VclColor = std::uint32_t;
namespace color {
inline constexpr VclColor WindowText = 0x80000008;  // the grid's default text colour
inline constexpr VclColor ScrollBar = 0x80000000;
inline constexpr VclColor Green = 0x008000;
inline constexpr VclColor Purple = 0xC83EAF;  // red 175, green 62, blue 200
inline constexpr VclColor Red = 0x0600FF;     // red 255, green 0, blue 6
}  // namespace color

enum class CellStyle { Normal, Bold, Italic };
enum class CellPicture { None, SandClock };

// The cells of a measurement table: the table widget in the program, a plain store in tests and
// benchmarks. The cells are the only store of what is shown.
class CellGrid {
public:
    virtual ~CellGrid() = default;
    virtual int rowCount() const = 0;
    virtual void setRowCount(int rows) = 0;
    virtual int columnCount() const = 0;
    virtual QString text(int row, int column) const = 0;
    virtual void setText(int row, int column, const QString& text) = 0;
    virtual VclColor fontColor(int row, int column) const = 0;
    virtual void setFontColor(int row, int column, VclColor color) = 0;
    virtual CellStyle fontStyle(int row, int column) const = 0;
    virtual void setFontStyle(int row, int column, CellStyle style) = 0;
    virtual CellPicture picture(int row, int column) const = 0;
    virtual void setPicture(int row, int column, CellPicture picture) = 0;
};

}  // namespace kv7m
