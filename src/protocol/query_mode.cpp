#include "protocol/query_mode.h"

#include "link/frame_sender.h"
#include "measurements/cell_grid.h"
#include "protocol/protocol_state.h"

#include <QTimer>

namespace kv7m {

namespace {
constexpr std::uint8_t kMeasurementRequest = 52;
}

QueryMode::QueryMode(ProtocolState& state, FrameSender& sender, CellGrid& systemTable, QObject* parent)
    : QObject(parent),
      QerryTimer(new QTimer(this)),
      TimerSendCMD52(new QTimer(this)),
      m_state(state),
      m_sender(sender),
      m_grid(systemTable)
{
    QerryTimer->setObjectName(QStringLiteral("QerryTimer"));
    QerryTimer->setInterval(1000);
    connect(QerryTimer, &QTimer::timeout, this, &QueryMode::queryTick);
    TimerSendCMD52->setObjectName(QStringLiteral("TimerSendCMD52"));
    TimerSendCMD52->setInterval(1000);
    connect(TimerSendCMD52, &QTimer::timeout, this, &QueryMode::sendNextRequest);
}

void QueryMode::enterQueryMode()
{
    if (m_queryMode)
        return;
    m_queryMode = true;
    emit modeChanged(true);
    m_state.NoAnswerTicks = 0;
    m_sender.SendCommandByte(kMeasurementRequest, std::uint8_t(m_state.PolledChannel));
    QerryTimer->start();
}

void QueryMode::enterActiveMode()
{
    if (!m_queryMode)
        return;
    m_queryMode = false;
    emit modeChanged(false);
    // A request already scheduled still goes out; nothing follows it.
    QerryTimer->stop();
}

void QueryMode::advanceChannel()
{
    m_state.PolledChannel = m_state.PolledChannel >= 7 ? 0 : m_state.PolledChannel + 1;
}

void QueryMode::recordAccepted()
{
    if (m_queryMode) {
        m_state.NoAnswerTicks = 0;
        advanceChannel();
        TimerSendCMD52->start();
    } else {
        TimerSendCMD52->stop();
    }
}

void QueryMode::sendNextRequest()
{
    TimerSendCMD52->stop();
    m_sender.SendCommandByte(kMeasurementRequest, std::uint8_t(m_state.PolledChannel));
}

void QueryMode::queryTick()
{
    if (!m_queryMode)
        return;
    // A limit lowered below the count already reached ends the wait at this tick.
    if (m_state.NoAnswerTicks < m_state.ReplyTimeOut) {
        ++m_state.NoAnswerTicks;
        return;
    }
    const int row = m_state.PolledChannel + 1;
    if (m_grid.text(row, 9) != query_text::NotAnswering) {
        m_grid.setText(row, 9, query_text::NotAnswering);
        m_grid.setFontStyle(row, 9, CellStyle::Normal);
        m_grid.setFontColor(row, 9, color::Red);
        for (int column = 1; column <= 8; ++column)
            m_grid.setText(row, column, QStringLiteral("-"));
    }
    m_state.NoAnswerTicks = 0;
    advanceChannel();
    m_sender.SendCommandByte(kMeasurementRequest, std::uint8_t(m_state.PolledChannel));
}

}  // namespace kv7m
