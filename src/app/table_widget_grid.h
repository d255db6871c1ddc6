#pragma once

#include "measurements/cell_grid.h"

#include <QFont>
#include <QHash>
#include <QString>

class QTableWidget;
class QTableWidgetItem;

namespace kv7m {

// A table widget's cells as a CellGrid: texts, colours, font styles and the sand-clock picture.
class TableWidgetGrid : public CellGrid {
public:
    explicit TableWidgetGrid(QTableWidget* table);

    int rowCount() const override;
    void setRowCount(int rows) override;
    int columnCount() const override;
    QString text(int row, int column) const override;
    void setText(int row, int column, const QString& text) override;
    VclColor fontColor(int row, int column) const override;
    void setFontColor(int row, int column, VclColor color) override;
    CellStyle fontStyle(int row, int column) const override;
    void setFontStyle(int row, int column, CellStyle style) override;
    CellPicture picture(int row, int column) const override;
    void setPicture(int row, int column, CellPicture picture) override;

private:
    QTableWidgetItem* item(int row, int column) const;

    QTableWidget* m_table;
};

// Shrinks the system table's font from 15 points until the texts of columns 0..9 fit their
// columns, but never below `minimumPointSize`; every cell takes that size. Text widths are kept,
// since most texts (headings, channel names) stay while records stream in.
class SystemTableFontFitter {
public:
    explicit SystemTableFontFitter(QTableWidget* table, int minimumPointSize = 6);
    void fit();
    int pointSize() const { return m_size; }

private:
    int textWidth(int pointSize, const QFont& cellFont, const QString& text);

    QTableWidget* m_table;
    int m_minimum;
    int m_size = 0;
    // Widths by point size, keyed by the cell's font and text.
    QHash<QString, int> m_widths[16];
};

}  // namespace kv7m
