#include "app/table_widget_grid.h"

#include <QFontMetrics>

#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

namespace kv7m {

namespace {

constexpr int kColorRole = Qt::UserRole + 1;
constexpr int kStyleRole = Qt::UserRole + 2;
constexpr int kPictureRole = Qt::UserRole + 3;

QColor toQColor(VclColor color, const QPalette& palette)
{
    if (color == color::ScrollBar)
        return QColor(0xC8, 0xC8, 0xC8);
    if (color & 0x80000000u)
        return palette.color(QPalette::Text);
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QIcon sandClockIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 60, 20), 1.2));
    painter.setBrush(QColor(235, 200, 90));
    const QPointF hourglass[] = {{3, 1.5}, {13, 1.5}, {8, 8}, {13, 14.5}, {3, 14.5}, {8, 8}};
    painter.drawPolygon(hourglass, 6);
    return QIcon(pixmap);
}

}  // namespace

TableWidgetGrid::TableWidgetGrid(QTableWidget* table) : m_table(table) {}

QTableWidgetItem* TableWidgetGrid::item(int row, int column) const
{
    QTableWidgetItem* cell = m_table->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(row, column, cell);
    }
    return cell;
}

int TableWidgetGrid::rowCount() const
{
    return m_table->rowCount();
}
void TableWidgetGrid::setRowCount(int rows)
{
    m_table->setRowCount(rows);
}
int TableWidgetGrid::columnCount() const
{
    return m_table->columnCount();
}

QString TableWidgetGrid::text(int row, int column) const
{
    const QTableWidgetItem* cell = m_table->item(row, column);
    return cell ? cell->text() : QString();
}

void TableWidgetGrid::setText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    if (cell->text() != text)
        cell->setText(text);
}

VclColor TableWidgetGrid::fontColor(int row, int column) const
{
    const QTableWidgetItem* cell = m_table->item(row, column);
    const QVariant stored = cell ? cell->data(kColorRole) : QVariant();
    return stored.isValid() ? VclColor(stored.toUInt()) : color::WindowText;
}

void TableWidgetGrid::setFontColor(int row, int column, VclColor color)
{
    QTableWidgetItem* cell = item(row, column);
    cell->setData(kColorRole, uint(color));
    cell->setForeground(toQColor(color, m_table->palette()));
}

CellStyle TableWidgetGrid::fontStyle(int row, int column) const
{
    const QTableWidgetItem* cell = m_table->item(row, column);
    return cell ? CellStyle(cell->data(kStyleRole).toInt()) : CellStyle::Normal;
}

void TableWidgetGrid::setFontStyle(int row, int column, CellStyle style)
{
    QTableWidgetItem* cell = item(row, column);
    cell->setData(kStyleRole, int(style));
    QFont font = cell->font();
    font.setBold(style == CellStyle::Bold);
    font.setItalic(style == CellStyle::Italic);
    cell->setFont(font);
}

CellPicture TableWidgetGrid::picture(int row, int column) const
{
    const QTableWidgetItem* cell = m_table->item(row, column);
    return cell ? CellPicture(cell->data(kPictureRole).toInt()) : CellPicture::None;
}

void TableWidgetGrid::setPicture(int row, int column, CellPicture picture)
{
    QTableWidgetItem* cell = item(row, column);
    if (CellPicture(cell->data(kPictureRole).toInt()) == picture)
        return;
    cell->setData(kPictureRole, int(picture));
    cell->setData(Qt::DecorationRole, picture == CellPicture::SandClock ? sandClockIcon() : QVariant());
}

SystemTableFontFitter::SystemTableFontFitter(QTableWidget* table, int minimumPointSize)
    : m_table(table), m_minimum(std::clamp(minimumPointSize, 1, 15))
{
}

int SystemTableFontFitter::textWidth(int pointSize, const QFont& cellFont, const QString& text)
{
    QHash<QString, int>& widths = m_widths[pointSize];
    const QString key =
        cellFont.family() + (cellFont.bold() ? QStringLiteral("\x1fb\x1f") : QStringLiteral("\x1fn\x1f")) + text;
    const auto known = widths.constFind(key);
    if (known != widths.constEnd())
        return *known;
    // Measurements of texts long gone are dropped now and then.
    if (widths.size() > 4096)
        widths.clear();
    QFont font = cellFont;
    font.setPointSize(pointSize);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    widths.insert(key, width);
    return width;
}

void SystemTableFontFitter::fit()
{
    // A cell's text keeps 5 pixels free, or what the style keeps around a cell's text if more.
    const int margin =
        std::max(5, 2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) + 1);
    int size = 15;
    for (int column = 0; column < 10 && column < m_table->columnCount(); ++column) {
        const int room = m_table->columnWidth(column) - margin;
        for (;;) {
            bool fits = true;
            for (int row = 0; row < m_table->rowCount() && fits; ++row) {
                const QTableWidgetItem* cell = m_table->item(row, column);
                // Measured as drawn, in the cell's own font (the headings are bold Tahoma).
                if (cell && textWidth(size, cell->font(), cell->text()) > room)
                    fits = false;
            }
            if (fits || size <= m_minimum)
                break;
            --size;
        }
    }
    if (size == m_size)
        return;
    m_size = size;
    QFont font = m_table->font();
    font.setPointSize(size);
    m_table->setFont(font);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (int column = 0; column < m_table->columnCount(); ++column) {
            if (QTableWidgetItem* cell = m_table->item(row, column)) {
                QFont cellFont = cell->font();
                cellFont.setPointSize(size);
                cell->setFont(cellFont);
            }
        }
    }
}

}  // namespace kv7m
