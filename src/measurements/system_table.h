#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

namespace kv7m {

class CellGrid;
class Clock;
struct ProtocolState;

// The column headings of the measurement tables and of the archive's heading line.
const QStringList& measurementHeadings();

// What a measurement record sets off besides the system table.
struct MeasurementHooks {
    // Shrinks the table's font until its texts fit.
    std::function<void()> fitFont;
    // A measurement row was shown: the channel view may take it (channel index, record day).
    std::function<void(int, int)> appendChannelRow;
    // A measurement row was shown: archive it (channel index, day, month, year - 2000).
    std::function<void(int, int, int, int)> archiveRecord;
    // The record was accepted: query mode schedules its next request.
    std::function<void()> recordAccepted;
};

// Reply 52 into the system table: one row per channel, the grid's cells the only store of the
// shown values, the last CS1 and T2 of every channel kept for the calibration assistants.
class SystemTable {
public:
    SystemTable(ProtocolState& state, CellGrid& grid, const Clock& clock, QChar decimalSeparator,
                MeasurementHooks hooks);

    // Handles the reply 52 in RxFrame / RxLength.
    void HandleMeasurementReply();
    // One tick of the stale-row clearing (every second): a channel without a record for the
    // time-out loses its row.
    void clearStaleRows();

    static constexpr int kRecordBytes = 66;

private:
    void ShowMeasurementRow(int channel, const std::array<std::uint8_t, kRecordBytes + 9>& data);
    void ShowChannelStatus(int channel, int type, const std::array<std::uint8_t, kRecordBytes + 9>& data);

    ProtocolState& m_state;
    CellGrid& m_grid;
    const Clock& m_clock;
    QChar m_separator;
    MeasurementHooks m_hooks;
};

namespace measurement_text {
inline const QString Channel = QStringLiteral("Канал ");
inline const QString Minimum = QStringLiteral("Минимум");
inline const QString Maximum = QStringLiteral("Максимум");
inline const QString AlarmMaximum = QStringLiteral("Авар. максимум");
inline const QString NoSignal = QStringLiteral("Нет сигнала (");
inline const QString NotConnected = QStringLiteral("не подключен");
inline const QString NoData = QStringLiteral("нет данных");
}  // namespace measurement_text

}  // namespace kv7m
