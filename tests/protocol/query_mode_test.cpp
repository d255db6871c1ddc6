#include "protocol/query_mode.h"

#include "link/frame_sender.h"
#include "measurements/memory_grid.h"
#include "protocol/protocol_state.h"
#include "support/fake_sender_host.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"

#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

class QueryModeTest : public ::testing::Test {
protected:
    QueryModeTest() { port.open(QStringLiteral("COM1"), QStringLiteral("19200")); }

    // Channel indices of the measurement requests written so far.
    QList<int> requests() const
    {
        QList<int> channels;
        for (const QByteArray& frame : port.writes) {
            EXPECT_TRUE(frame.startsWith(":0134")) << frame.constData();
            channels.append(frame.mid(5, 2).toInt(nullptr, 16));
        }
        return channels;
    }

    ProtocolState state;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    FakeSenderHost host;
    FrameSender sender{state, port, prompter, host};
    MemoryGrid grid{9, 11};
    QueryMode mode{state, sender, grid};
};

TEST_F(QueryModeTest, EnteringPollsAtOnceFromWhereItStopped)
{
    state.PolledChannel = 7;
    QSignalSpy changed(&mode, &QueryMode::modeChanged);
    mode.enterQueryMode();
    EXPECT_TRUE(mode.isQueryMode());
    EXPECT_EQ(requests(), QList<int>{7});
    EXPECT_TRUE(mode.QerryTimer->isActive());
    mode.enterQueryMode();
    EXPECT_EQ(requests(), QList<int>{7}) << "entering twice sends nothing more";
    EXPECT_EQ(changed.count(), 1);

    // The reply advances to channel index 0, requested when the send timer fires.
    mode.recordAccepted();
    EXPECT_EQ(state.PolledChannel, 0);
    EXPECT_TRUE(mode.TimerSendCMD52->isActive());
    QSignalSpy sent(mode.TimerSendCMD52, &QTimer::timeout);
    ASSERT_TRUE(sent.wait(3000));
    EXPECT_EQ(requests(), (QList<int>{7, 0}));
    EXPECT_FALSE(mode.TimerSendCMD52->isActive());
}

TEST_F(QueryModeTest, ReplyTimeOutZeroEndsAWaitEveryTick)
{
    state.ReplyTimeOut = 0;
    mode.enterQueryMode();
    for (int tick = 0; tick < 3; ++tick)
        mode.queryTick();
    EXPECT_EQ(requests(), (QList<int>{0, 1, 2, 3}));
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(grid.text(row, 9), QStringLiteral("ТВМ не отвечает")) << row;
        EXPECT_EQ(grid.fontColor(row, 9), color::Red);
        EXPECT_EQ(grid.text(row, 1), QStringLiteral("-"));
        EXPECT_EQ(grid.text(row, 8), QStringLiteral("-"));
    }
    EXPECT_EQ(grid.text(4, 9), QString());
}

TEST_F(QueryModeTest, ReplyTimeOutTwoMarksOnTheThirdTick)
{
    state.ReplyTimeOut = 2;
    mode.enterQueryMode();
    mode.queryTick();
    mode.queryTick();
    EXPECT_EQ(requests(), QList<int>{0});
    EXPECT_EQ(grid.text(1, 9), QString());
    mode.queryTick();
    EXPECT_EQ(requests(), (QList<int>{0, 1}));
    EXPECT_EQ(grid.text(1, 9), QStringLiteral("ТВМ не отвечает"));

    // A reply resets the count.
    mode.queryTick();
    mode.recordAccepted();
    mode.queryTick();
    mode.queryTick();
    EXPECT_EQ(state.NoAnswerTicks, 2);
}

TEST_F(QueryModeTest, MarkedRowIsNotRewrittenOnTheNextTimeOut)
{
    state.ReplyTimeOut = 0;
    mode.enterQueryMode();
    mode.queryTick();  // marks row 1
    grid.setText(1, 3, QStringLiteral("850"));
    grid.setFontColor(1, 9, color::Green);
    state.PolledChannel = 0;
    mode.queryTick();
    EXPECT_EQ(grid.text(1, 3), QStringLiteral("850"));
    EXPECT_EQ(grid.fontColor(1, 9), color::Green);
}

TEST_F(QueryModeTest, LoweredLimitEndsAnOverdueWaitAtTheNextTick)
{
    state.ReplyTimeOut = 5;
    mode.enterQueryMode();
    for (int tick = 0; tick < 4; ++tick)
        mode.queryTick();
    state.ReplyTimeOut = 1;
    mode.queryTick();
    EXPECT_EQ(requests(), (QList<int>{0, 1}));
}

TEST_F(QueryModeTest, ActiveModeStopsPollingAndLateRepliesScheduleNothing)
{
    mode.enterQueryMode();
    mode.enterActiveMode();
    EXPECT_FALSE(mode.isQueryMode());
    EXPECT_FALSE(mode.QerryTimer->isActive());
    mode.recordAccepted();
    EXPECT_FALSE(mode.TimerSendCMD52->isActive());
    EXPECT_EQ(state.PolledChannel, 0) << "records in active mode do not advance the poll";
    mode.queryTick();
    EXPECT_EQ(requests(), QList<int>{0});
}

}  // namespace
