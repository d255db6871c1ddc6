#include "sim/unit_fixture.h"

#include <QElapsedTimer>

using namespace kv7m;
using namespace kv7m::test;

namespace {

template <sim::LineFaults (*Faults)()> class Faulty : public UnitFixture {
protected:
    Faulty() : UnitFixture({}, Faults()) {}
};

sim::LineFaults dropSecond()
{
    sim::LineFaults faults;
    faults.dropReplies = {2};
    return faults;
}

using DroppingLine = Faulty<dropSecond>;

TEST_F(DroppingLine, DropsTheNthReplyOnly)
{
    EXPECT_EQ(ask(51, bytesOf({255})).code, 51);
    sender.SendCommandNoData(81);  // reply 2: dropped
    EXPECT_EQ(ask(50).code, 50);
    EXPECT_TRUE(frames.empty());
}

sim::LineFaults corruptFirst()
{
    sim::LineFaults faults;
    faults.corruptLrcReplies = {1};
    return faults;
}

using CorruptingLine = Faulty<corruptFirst>;

TEST_F(CorruptingLine, SpoilsTheLrcOfTheNthReply)
{
    const UnitFrame spoilt = ask(50);
    EXPECT_FALSE(spoilt.good);
    EXPECT_EQ(spoilt.code, 50) << "only the LRC is wrong";
    EXPECT_TRUE(ask(50).good);
}

sim::LineFaults late()
{
    sim::LineFaults faults;
    faults.replyDelayMs = 150;
    return faults;
}

using LateLine = Faulty<late>;

TEST_F(LateLine, AnswersLate)
{
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(ask(50).code, 50);
    EXPECT_GE(elapsed.elapsed(), 150);
}

sim::LineFaults pieces()
{
    sim::LineFaults faults;
    faults.splitBytes = 3;
    faults.splitPauseMs = 2;
    return faults;
}

using SplittingLine = Faulty<pieces>;

TEST_F(SplittingLine, SplitsFramesIntoPieces)
{
    const UnitFrame reply = ask(81);
    EXPECT_TRUE(reply.good);
    // ':' + 2 x 30 hex digits + CR LF = 63 characters in pieces of 3, with their pauses between.
    EXPECT_EQ(received.size(), 63);
    ASSERT_EQ(deliveryTimes.size(), 21);
    // Piece i leaves i pauses after the first (the clock reads whole milliseconds).
    for (qsizetype i = 1; i < deliveryTimes.size(); ++i)
        EXPECT_GE(deliveryTimes[i] - deliveryTimes[0], 2 * i - 1) << "piece " << i;
}

sim::LineFaults noisy()
{
    sim::LineFaults faults;
    faults.noise = true;
    return faults;
}

using NoisyLine = Faulty<noisy>;

TEST_F(NoisyLine, PutsJunkBetweenFramesThatStillDecode)
{
    for (int i = 0; i < 5; ++i) {
        const UnitFrame reply = ask(50);
        EXPECT_TRUE(reply.good);
        EXPECT_EQ(reply.code, 50);
    }
    EXPECT_GT(received.size(), 5 * 11) << "junk came along";
    EXPECT_FALSE(received.startsWith(':'));
}

sim::LineFaults paced()
{
    sim::LineFaults faults;
    faults.baud = 9600;
    return faults;
}

using PacedLine = Faulty<paced>;

TEST_F(PacedLine, PacedLineTakesAtLeastItsWireTime)
{
    QElapsedTimer elapsed;
    elapsed.start();
    // 87: 11 characters out, 267 back: 278 characters of 10 bits at 9600 baud = 289.6 ms.
    EXPECT_EQ(ask(87, bytesOf({0})).data.size(), 129);
    EXPECT_GE(elapsed.elapsed(), 289);
}

}  // namespace
