#include "app/table_widget_grid.h"

#include <QFontMetrics>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace kv7m;

namespace {

QTableWidget* makeTable(int columnWidth)
{
    auto* table = new QTableWidget(9, 11);
    for (int c = 0; c < 11; ++c) {
        table->setColumnWidth(c, columnWidth);
        for (int r = 0; r < 9; ++r)
            table->setItem(r, c, new QTableWidgetItem(QStringLiteral("12,34")));
    }
    QFont heading(QStringLiteral("Tahoma"));
    heading.setBold(true);
    auto* longHeading = new QTableWidgetItem(QStringLiteral("Плотность, кг/м3"));
    longHeading->setFont(heading);
    table->setItem(0, 3, longHeading);
    return table;
}

TEST(SystemTableFontFitter, ShrinksUntilTheTextsFitButNotBelowTheBound)
{
    // Wide columns: 15 points.
    std::unique_ptr<QTableWidget> wide(makeTable(400));
    SystemTableFontFitter wideFitter(wide.get());
    wideFitter.fit();
    EXPECT_EQ(wideFitter.pointSize(), 15);
    EXPECT_EQ(wide->item(5, 5)->font().pointSize(), 15) << "every cell takes the size";

    // Narrow columns: the bold heading decides, measured in its own font, and fits when drawn.
    std::unique_ptr<QTableWidget> narrow(makeTable(110));
    SystemTableFontFitter fitter(narrow.get());
    fitter.fit();
    EXPECT_LT(fitter.pointSize(), 15);
    EXPECT_GE(fitter.pointSize(), 6);
    QFont drawn = narrow->item(0, 3)->font();
    EXPECT_TRUE(drawn.bold());
    EXPECT_LE(QFontMetrics(drawn).horizontalAdvance(narrow->item(0, 3)->text()), 110 - 5);

    // Columns no text fits at any size: the bound holds.
    std::unique_ptr<QTableWidget> tiny(makeTable(8));
    SystemTableFontFitter tinyFitter(tiny.get());
    tinyFitter.fit();
    EXPECT_EQ(tinyFitter.pointSize(), 6);
    // Column 10 is never measured.
    std::unique_ptr<QTableWidget> lastColumn(makeTable(400));
    lastColumn->setColumnWidth(10, 8);
    SystemTableFontFitter lastFitter(lastColumn.get());
    lastFitter.fit();
    EXPECT_EQ(lastFitter.pointSize(), 15);
}

}  // namespace
