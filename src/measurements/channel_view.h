#pragma once

#include <QString>

#include <functional>

namespace kv7m {

class CellGrid;
class Clock;

// The channel tab: today's rows of the selected channel, from the archive and as they arrive.
class ChannelView {
public:
    // `selectedChannel` gives the selector's index 0..7; `dataPath` the archive folder.
    ChannelView(CellGrid& channelGrid, const CellGrid& systemGrid, const Clock& clock,
                std::function<int()> selectedChannel, std::function<QString()> dataPath);

    // Empties the grid and fills it from today's archive file of the channel.
    void ResetChannelView(int channelIndex);
    // A measurement row of the system table was written: append it when it belongs here.
    void AppendChannelRow(int channelIndex, int recordDay);
    // Every second: a new day of the PC rebuilds the view.
    void checkNewDay();

    int trackedDay() const { return m_trackedDay; }

private:
    void LoadChannelArchive(int channelIndex);

    CellGrid& m_grid;
    const CellGrid& m_systemGrid;
    const Clock& m_clock;
    std::function<int()> m_selectedChannel;
    std::function<QString()> m_dataPath;
    int m_trackedDay = 0;
};

}  // namespace kv7m
