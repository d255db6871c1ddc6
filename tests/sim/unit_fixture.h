#pragma once

#include "link/frame_assembler.h"
#include "link/frame_codec.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "sim/simulated_serial_port.h"
#include "sim/simulated_unit.h"
#include "support/fake_sender_host.h"
#include "support/scripted_prompter.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

namespace kv7m::test {

// A decoded frame from the unit.
struct UnitFrame {
    std::uint8_t address = 0;
    std::uint8_t code = 0;
    QByteArray data;
    bool good = false;
    // The unit's clock when the frame's last byte arrived.
    qint64 atMs = 0;
};

// The program's senders wired to a simulated unit in the same process; what the unit answers is
// cut into frames and decoded.
class UnitFixture : public ::testing::Test {
protected:
    explicit UnitFixture(sim::UnitOptions options = {}, sim::LineFaults faults = {})
        : unit(withFixedStart(options), faults), port(unit), sender(state, port, prompter, host)
    {
        port.open(QStringLiteral("SIM"), QStringLiteral("19200"));
        QObject::connect(&port, &SerialPort::bytesArrived, [this] { takeBytes(); });
    }

    static sim::UnitOptions withFixedStart(sim::UnitOptions options)
    {
        if (!options.startTime.isValid())
            options.startTime = QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9));
        return options;
    }

    void takeBytes()
    {
        const QByteArray bytes = port.read();
        received += bytes;
        deliveryTimes.append(unit.nowMs());
        for (const char c : bytes) {
            if (c == 'Y' && !assembler.started())
                ++bootloaderCalls;
            if (assembler.feed(std::uint8_t(c)) != FrameAssembler::Result::Complete)
                continue;
            std::vector<std::uint8_t> buffer(assembler.frame().begin(), assembler.frame().end());
            int length = 0;
            UnitFrame frame;
            frame.atMs = unit.nowMs();
            frame.good = decodeReplyFrame(buffer.data(), buffer.size(), length) && length >= 3;
            if (length >= 3) {
                frame.address = buffer[0];
                frame.code = buffer[1];
                frame.data = QByteArray(reinterpret_cast<const char*>(buffer.data() + 2), length - 3);
            }
            frames.push_back(frame);
        }
    }

    // The next frame from the unit, waiting up to `timeoutMs` for it.
    UnitFrame next(int timeoutMs = 3000)
    {
        // A real event loop, so the unit's timers run on time while we wait.
        if (frames.empty()) {
            QEventLoop loop;
            QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
            const QMetaObject::Connection arrived = QObject::connect(
                &port, &SerialPort::bytesArrived, &loop,
                [&] {
                    if (!frames.empty())
                        loop.quit();
                },
                Qt::QueuedConnection);
            loop.exec();
            QObject::disconnect(arrived);
        }
        if (frames.empty())
            return {};
        UnitFrame frame = frames.front();
        frames.pop_front();
        return frame;
    }

    // Lets the unit's clock pass `ms`, to show that something does not happen.
    void letUnitTimePass(qint64 ms)
    {
        const qint64 until = unit.nowMs() + ms;
        ASSERT_TRUE(QTest::qWaitFor([&] { return unit.nowMs() >= until; }, int(ms) + 2000));
    }

    // Sends a request and gives the unit's reply.
    UnitFrame ask(std::uint8_t code, const QByteArray& data = {})
    {
        sender.SendCommandData(code, reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
        return next();
    }

    sim::SimulatedUnit unit;
    sim::SimulatedSerialPort port;
    ProtocolState state;
    ScriptedPrompter prompter;
    FakeSenderHost host;
    FrameSender sender;
    FrameAssembler assembler;
    std::deque<UnitFrame> frames;
    QByteArray received;
    QList<qint64> deliveryTimes;
    int bootloaderCalls = 0;
};

inline QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v & 0xFF));
    return out;
}

inline int wordAt(const QByteArray& data, int offset)
{
    return std::uint8_t(data[offset]) << 8 | std::uint8_t(data[offset + 1]);
}

}  // namespace kv7m::test
