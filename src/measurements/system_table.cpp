#include "measurements/system_table.h"

#include "app/clock.h"
#include "measurements/cell_grid.h"
#include "measurements/number_format.h"
#include "protocol/protocol_state.h"

namespace kv7m {

namespace {

using RecordData = std::array<std::uint8_t, SystemTable::kRecordBytes + 9>;

int unsignedWord(const RecordData& data, int k)
{
    return data[std::size_t(k)] << 8 | data[std::size_t(k + 1)];
}
int signedWord(const RecordData& data, int k)
{
    return std::int16_t(unsignedWord(data, k));
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

bool clockInRange(const RecordData& data, int first)
{
    const auto at = [&](int i) { return data[std::size_t(first + i)]; };
    return at(0) <= 59 && at(1) <= 59 && at(2) <= 23 && at(3) <= 31 && at(4) <= 12 && at(5) <= 100;
}

void putClock(RecordData& data, int first, const QDateTime& now)
{
    data[std::size_t(first)] = std::uint8_t(now.time().second());
    data[std::size_t(first + 1)] = std::uint8_t(now.time().minute());
    data[std::size_t(first + 2)] = std::uint8_t(now.time().hour());
    data[std::size_t(first + 3)] = std::uint8_t(now.date().day());
    data[std::size_t(first + 4)] = std::uint8_t(now.date().month());
    data[std::size_t(first + 5)] = std::uint8_t(now.date().year() - 2000);
}

}  // namespace

const QStringList& measurementHeadings()
{
    static const QStringList headings = {
        QStringLiteral("Имя канала"),       QStringLiteral("Время"),        QStringLiteral("Влажность, %"),
        QStringLiteral("Плотность, кг/м3"), QStringLiteral("Т1, град С"),   QStringLiteral("Т2, град С"),
        QStringLiteral("Период"),           QStringLiteral("CS1"),          QStringLiteral("CS2"),
        QStringLiteral("Сигнализация"),     QStringLiteral("Адрес датчика")};
    return headings;
}

SystemTable::SystemTable(ProtocolState& state, CellGrid& grid, const Clock& clock, QChar decimalSeparator,
                         MeasurementHooks hooks)
    : m_state(state), m_grid(grid), m_clock(clock), m_separator(decimalSeparator), m_hooks(std::move(hooks))
{
}

void SystemTable::HandleMeasurementReply()
{
    // Work on the record's own bytes only: whatever an earlier, longer frame left in the buffer
    // past this one reads as 0.
    const int length = m_state.RxLength;
    if (length < 6)
        return;
    RecordData data{};
    const int dataBytes = std::min(length - 3, kRecordBytes);
    for (int k = 0; k < dataBytes; ++k)
        data[std::size_t(k)] = m_state.RxFrame[std::size_t(2 + k)];

    const int channel = data[2];
    // Only channels 1..8 have a row.
    if (channel >= ProtocolState::kChannelCount)
        return;
    m_state.StaleCountdown[std::size_t(channel)] = m_state.MainTableClearTimeOut;

    // Records without a time stamp get the PC's clock in the place the stamp would have taken.
    int stamp = 60;
    if (length == 63) {
        putClock(data, 60, m_clock.now());
    } else if (length == 6) {
        putClock(data, 3, m_clock.now());
        stamp = 3;
    }
    if (!clockInRange(data, stamp))
        return;

    const int type = data[1] & 0x0F;
    if (type == 0)
        ShowMeasurementRow(channel, data);
    else
        ShowChannelStatus(channel, type, data);
    if (m_hooks.recordAccepted)
        m_hooks.recordAccepted();
}

void SystemTable::ShowMeasurementRow(int channel, const RecordData& data)
{
    const int row = channel + 1;
    m_grid.setText(
        row, 1, twoDigits(data[62]) + QLatin1Char(':') + twoDigits(data[61]) + QLatin1Char(':') + twoDigits(data[60]));
    m_grid.setText(row, 0, measurement_text::Channel + QString::number(row));
    // The sensor address replaces any status shown in its cell.
    m_grid.setText(row, 10, QString::number(data[0]));
    m_grid.setPicture(row, 10, CellPicture::None);
    m_grid.setFontStyle(row, 10, CellStyle::Normal);
    m_grid.setFontColor(row, 10, color::WindowText);
    m_grid.setText(row, 2, formatGeneral(unsignedWord(data, 12) * 0.01, 6, m_separator));
    m_grid.setText(row, 3, formatGeneral(unsignedWord(data, 22) * 0.1, 6, m_separator));
    m_grid.setText(row, 4, formatGeneral(signedWord(data, 42) * 0.1, 5, m_separator));
    const QString t2 = formatGeneral(signedWord(data, 40) * 0.1, 5, m_separator);
    m_grid.setText(row, 5, t2);
    m_state.LastT2[std::size_t(channel)] = parseLocaleNumber(t2, m_separator).value_or(0.0);
    m_grid.setText(row, 6, QString::number(unsignedWord(data, 44)));
    m_grid.setText(row, 7, formatGeneral(unsignedWord(data, 50) * 0.1, 5, m_separator));
    m_state.LastCS1[std::size_t(channel)] = unsignedWord(data, 50) * 0.1;
    m_grid.setText(row, 8, formatGeneral(unsignedWord(data, 52) * 0.1, 5, m_separator));

    m_grid.setText(row, 9, QStringLiteral("-"));
    const std::uint8_t alarms = data[5];
    if (alarms & 0x08) {
        m_grid.setText(row, 9, measurement_text::Minimum);
        m_grid.setFontColor(row, 9, color::Green);
    }
    if (alarms & 0x10) {
        m_grid.setText(row, 9, measurement_text::Maximum);
        m_grid.setFontColor(row, 9, color::Purple);
    }
    if (alarms & 0x20) {
        m_grid.setText(row, 9, measurement_text::AlarmMaximum);
        m_grid.setFontColor(row, 9, color::Red);
    }
    if (m_hooks.fitFont)
        m_hooks.fitFont();
    if (m_hooks.appendChannelRow)
        m_hooks.appendChannelRow(channel, data[63]);
    if (m_hooks.archiveRecord)
        m_hooks.archiveRecord(channel, data[63], data[64], data[65]);
}

void SystemTable::ShowChannelStatus(int channel, int type, const RecordData& data)
{
    const int row = channel + 1;
    m_grid.setFontStyle(row, 10, CellStyle::Normal);
    if (type == 1) {
        m_grid.setPicture(row, 10, CellPicture::SandClock);
    } else if (type == 2) {
        const QString text = measurement_text::NoSignal + QString::number(data[0]) + QLatin1Char(')');
        // A repeated status leaves the row as it is.
        if (m_grid.text(row, 10) == text)
            return;
        m_grid.setText(row, 10, text);
        m_grid.setFontStyle(row, 10, CellStyle::Normal);
        m_grid.setFontColor(row, 10, color::Red);
        for (int column = 1; column <= 9; ++column)
            m_grid.setText(row, column, QStringLiteral("-"));
    } else if (type == 4) {
        if (m_grid.text(row, 10) == measurement_text::NotConnected)
            return;
        m_grid.setText(row, 10, measurement_text::NotConnected);
        m_grid.setFontColor(row, 10, color::ScrollBar);
        m_grid.setFontStyle(row, 10, CellStyle::Italic);
    }
    m_grid.setText(row, 0, measurement_text::Channel + QString::number(row));
    m_state.LastCS1[std::size_t(channel)] = 0;
    m_state.LastT2[std::size_t(channel)] = 0;
    if (m_hooks.fitFont)
        m_hooks.fitFont();
}

void SystemTable::clearStaleRows()
{
    // A time-out of 0 or less means rows are never cleared.
    if (m_state.MainTableClearTimeOut <= 0)
        return;
    for (int channel = 0; channel < ProtocolState::kChannelCount; ++channel) {
        int& countdown = m_state.StaleCountdown[std::size_t(channel)];
        if (--countdown > 0)
            continue;
        countdown = m_state.MainTableClearTimeOut;
        m_state.LastCS1[std::size_t(channel)] = 0;
        m_state.LastT2[std::size_t(channel)] = 0;
        const int row = channel + 1;
        for (int column = 0; column < m_grid.columnCount(); ++column) {
            m_grid.setText(row, column, QString());
            m_grid.setPicture(row, column, CellPicture::None);
        }
        m_grid.setText(row, 10, measurement_text::NoData);
        m_grid.setFontStyle(row, 10, CellStyle::Italic);
        m_grid.setFontColor(row, 10, color::ScrollBar);
    }
}

}  // namespace kv7m
