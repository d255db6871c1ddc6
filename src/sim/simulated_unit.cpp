#include "sim/simulated_unit.h"

#include <algorithm>

namespace kv7m::sim {

namespace {

QByteArray spoilLrc(QByteArray frame)
{
    // The last hex digit before CR LF belongs to the LRC.
    const qsizetype i = frame.size() - 3;
    if (i > 0)
        frame[i] = frame[i] == '0' ? '1' : '0';
    return frame;
}

}  // namespace

SimulatedUnit::SimulatedUnit(const UnitOptions& options, const LineFaults& faults, QObject* parent)
    : QObject(parent), m_model(options), m_faults(faults), m_rng(options.seed)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedUnit::run);
    schedule();
}

qint64 SimulatedUnit::wireUs(qsizetype chars) const
{
    return m_faults.baud > 0 ? qint64(chars) * 10'000'000 / m_faults.baud : 0;
}

void SimulatedUnit::receiveFromLine(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    // The last byte reaches the unit one wire time after the line is free.
    const qint64 due = std::max(nowUs(), m_inputLineFreeUs) + wireUs(bytes.size());
    m_inputLineFreeUs = due;
    m_input.push_back({due, bytes});
    schedule();
}

void SimulatedUnit::sendFrame(const QByteArray& wireFrame)
{
    enqueueOutput(wireFrame, nowUs());
    schedule();
}

void SimulatedUnit::take(std::vector<Emission> emissions, qint64 atUs)
{
    for (Emission& emission : emissions) {
        if (!emission.reply) {
            enqueueOutput(std::move(emission.bytes), atUs);
            continue;
        }
        const int ordinal = ++m_replyCount;
        if (m_faults.dropReplies.contains(ordinal))
            continue;
        if (m_faults.corruptLrcReplies.contains(ordinal))
            emission.bytes = spoilLrc(emission.bytes);
        enqueueOutput(std::move(emission.bytes), atUs + qint64(m_faults.replyDelayMs) * 1000);
    }
}

void SimulatedUnit::enqueueOutput(QByteArray bytes, qint64 earliestUs)
{
    if (m_faults.noise) {
        static constexpr char kJunk[] = "#%&*+-.0123456789=?ABCXZabcz~\r\n";
        std::uniform_int_distribution<int> count(1, 4);
        std::uniform_int_distribution<int> pick(0, int(sizeof kJunk) - 2);
        QByteArray junk;
        for (int n = count(m_rng); n > 0; --n)
            junk.append(kJunk[pick(m_rng)]);
        bytes.prepend(junk);
    }
    qint64 at = std::max(earliestUs, m_outputLineFreeUs);
    const qsizetype piece = m_faults.splitBytes > 0 ? m_faults.splitBytes : bytes.size();
    for (qsizetype from = 0; from < bytes.size(); from += piece) {
        if (from > 0)
            at += qint64(m_faults.splitPauseMs) * 1000;
        const QByteArray part = bytes.mid(from, piece);
        at += wireUs(part.size());
        m_output.push_back({at, part});
    }
    m_outputLineFreeUs = at;
}

void SimulatedUnit::run()
{
    const qint64 now = nowUs();
    while (!m_input.empty() && m_input.front().dueUs <= now) {
        const Pending input = std::move(m_input.front());
        m_input.pop_front();
        take(m_model.receive(input.bytes, input.dueUs / 1000), input.dueUs);
    }
    take(m_model.advance(now / 1000), now);
    while (!m_output.empty() && m_output.front().dueUs <= now) {
        const QByteArray bytes = std::move(m_output.front().bytes);
        m_output.pop_front();
        emit transmit(bytes);
    }
    schedule();
}

void SimulatedUnit::schedule()
{
    qint64 next = -1;
    const auto consider = [&next](qint64 due) {
        if (due >= 0 && (next < 0 || due < next))
            next = due;
    };
    if (!m_input.empty())
        consider(m_input.front().dueUs);
    if (!m_output.empty())
        consider(m_output.front().dueUs);
    const qint64 modelDue = m_model.nextDueMs();
    if (modelDue >= 0)
        consider(modelDue * 1000);
    if (next < 0) {
        m_timer.stop();
        return;
    }
    // Rounded up: nothing leaves before its time.
    const qint64 waitUs = std::max<qint64>(0, next - nowUs());
    m_timer.start(int((waitUs + 999) / 1000));
}

}  // namespace kv7m::sim
