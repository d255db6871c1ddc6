#include "measurements/channel_view.h"

#include "app/clock.h"
#include "measurements/cell_grid.h"
#include "measurements/measurement_archive.h"

namespace kv7m {

ChannelView::ChannelView(CellGrid& channelGrid, const CellGrid& systemGrid, const Clock& clock,
                         std::function<int()> selectedChannel, std::function<QString()> dataPath)
    : m_grid(channelGrid),
      m_systemGrid(systemGrid),
      m_clock(clock),
      m_selectedChannel(std::move(selectedChannel)),
      m_dataPath(std::move(dataPath))
{
}

void ChannelView::ResetChannelView(int channelIndex)
{
    m_grid.setRowCount(2);
    for (int column = 0; column < m_grid.columnCount(); ++column)
        m_grid.setText(1, column, QString());
    LoadChannelArchive(channelIndex);
}

void ChannelView::LoadChannelArchive(int channelIndex)
{
    const QDate today = m_clock.now().date();
    const QString path =
        archiveFilePath(m_dataPath(), channelIndex + 1, today.year() - 2000, today.month(), today.day());
    const std::optional<QList<QStringList>> rows = MeasurementArchive::readArchiveFile(path);
    if (!rows || rows->isEmpty())
        return;
    // The heading row stays; one row per stored record follows it.
    m_grid.setRowCount(1 + int(rows->size()));
    for (int r = 0; r < rows->size(); ++r) {
        const QStringList& cells = rows->at(r);
        for (int column = 0; column < m_grid.columnCount(); ++column)
            m_grid.setText(1 + r, column, column < cells.size() ? cells[column] : QString());
    }
}

void ChannelView::AppendChannelRow(int channelIndex, int recordDay)
{
    if (recordDay != m_trackedDay || channelIndex != m_selectedChannel())
        return;
    if (!m_grid.text(1, 1).isEmpty())
        m_grid.setRowCount(m_grid.rowCount() + 1);
    const int row = m_grid.rowCount() - 1;
    for (int column = 0; column < m_grid.columnCount(); ++column)
        m_grid.setText(row, column, m_systemGrid.text(channelIndex + 1, column));
}

void ChannelView::checkNewDay()
{
    const int day = m_clock.now().date().day();
    if (day == m_trackedDay)
        return;
    m_trackedDay = day;
    ResetChannelView(m_selectedChannel());
}

}  // namespace kv7m
