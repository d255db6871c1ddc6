// Every command of the catalogue, sent through the program's senders to the simulated unit.
#include "settings/signature.h"
#include "sim/unit_fixture.h"

using namespace kv7m;
using namespace kv7m::test;

namespace {

std::uint16_t signatureOf(const QByteArray& bytes)
{
    return ComputeSignature(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
}

QByteArray pattern(int size, int seed)
{
    QByteArray out;
    for (int i = 0; i < size; ++i)
        out.append(char((i * 31 + seed) & 0xFF));
    return out;
}

class UnitCatalogue : public UnitFixture {};

TEST_F(UnitCatalogue, StatusAndStartStopOfMeasurement)
{
    UnitFrame reply = ask(50);
    ASSERT_TRUE(reply.good);
    EXPECT_EQ(reply.address, 1);
    EXPECT_EQ(reply.code, 50);
    EXPECT_EQ(reply.data, bytesOf({0xFF}));

    EXPECT_EQ(ask(51, bytesOf({0})).data, bytesOf({0}));
    EXPECT_EQ(ask(50).data, bytesOf({0}));
    EXPECT_EQ(ask(51, bytesOf({255})).data, bytesOf({255}));
    EXPECT_EQ(ask(50).data, bytesOf({0xFF}));
}

TEST_F(UnitCatalogue, MeasurementRecordHasItsFieldsInPlace)
{
    const UnitFrame reply = ask(52, bytesOf({3}));
    ASSERT_TRUE(reply.good);
    ASSERT_EQ(reply.code, 52);
    ASSERT_EQ(reply.data.size(), 60) << "no time stamp while the calendar option is off";
    EXPECT_EQ(reply.data[1] & 0x0F, 0) << "a measurement";
    EXPECT_EQ(reply.data[2], 3) << "channel index";
    const double moisture = wordAt(reply.data, 12) * 0.01;
    EXPECT_GT(moisture, 1.0);
    EXPECT_LT(moisture, 6.0);
    EXPECT_GT(wordAt(reply.data, 22) * 0.1, 800.0);
    EXPECT_GT(std::int16_t(wordAt(reply.data, 42)) * 0.1, 0.0);
    EXPECT_GT(wordAt(reply.data, 44), 0);
    EXPECT_GT(wordAt(reply.data, 52), wordAt(reply.data, 50)) << "CS2 above CS1";
    // Default setpoints 5/20/30 %: channel 4 (3.4 %) is below its minimum.
    EXPECT_EQ(reply.data[5] & 0x38, 0x08);

    // Channel 8 runs below freezing: T1 is negative.
    EXPECT_LT(std::int16_t(wordAt(ask(52, bytesOf({7})).data, 42)), 0);
}

TEST_F(UnitCatalogue, CalendarOptionAddsTheUnitTimeStamp)
{
    QByteArray common(20, 0);
    common[0] = 0x04;
    ASSERT_EQ(ask(65, common).code, 65);
    const UnitFrame reply = ask(52, bytesOf({0}));
    ASSERT_EQ(reply.data.size(), 66);
    // The unit's clock started at 05.03.2026 14:07:09.
    EXPECT_EQ(reply.data[62], 14);
    EXPECT_EQ(reply.data[61], 7);
    EXPECT_EQ(reply.data[63], 5);
    EXPECT_EQ(reply.data[64], 3);
    EXPECT_EQ(reply.data[65], 26);
}

class UnitChannelModes : public UnitFixture {
protected:
    static sim::UnitOptions modes()
    {
        sim::UnitOptions options;
        options.channels[1] = sim::ChannelMode::NotConnected;
        options.channels[2] = sim::ChannelMode::NoSignal;
        options.channels[3] = sim::ChannelMode::InProgress;
        options.channels[4] = sim::ChannelMode::Silent;
        return options;
    }
    UnitChannelModes() : UnitFixture(modes()) {}
};

TEST_F(UnitChannelModes, StatusRecordsAndASilentChannel)
{
    EXPECT_EQ(ask(52, bytesOf({1})).data, bytesOf({2, 4, 1}));
    EXPECT_EQ(ask(52, bytesOf({2})).data, bytesOf({3, 2, 2}));
    EXPECT_EQ(ask(52, bytesOf({3})).data, bytesOf({4, 1, 3}));
    // The silent channel answers nothing: the next frame is the status reply sent after it.
    sender.SendCommandByte(52, 4);
    sender.SendCommandNoData(50);
    EXPECT_EQ(next().code, 50);
}

TEST_F(UnitCatalogue, ChannelConstantsWriteReadAndSignature)
{
    const QByteArray block = pattern(37, 5);
    EXPECT_EQ(ask(53, bytesOf({6}) + block).code, 53);
    const UnitFrame read = ask(54, bytesOf({6}));
    ASSERT_EQ(read.data.size(), 38) << "RxLength 41";
    EXPECT_EQ(read.data, bytesOf({6}) + block);
    const UnitFrame signature = ask(55, bytesOf({6}));
    ASSERT_EQ(signature.data.size(), 3);
    EXPECT_EQ(wordAt(signature.data, 1), signatureOf(block));
    // Other channels keep the defaults.
    EXPECT_EQ(wordAt(ask(54, bytesOf({0})).data, 2), 7000);

    // A block of the wrong length is refused with error reply 181, kind 32.
    const UnitFrame error = ask(53, bytesOf({6}) + block.left(36));
    EXPECT_EQ(error.code, 181);
    EXPECT_EQ(std::uint8_t(error.data[0]), 32);
}

TEST_F(UnitCatalogue, TablesWriteInElevenFramesReadInPartsAndSign)
{
    for (const int table : {1, 8, 11, 18}) {
        QByteArray whole;
        for (int part = 1; part <= 11; ++part) {
            const QByteArray chunk = pattern(128, table * 16 + part);
            whole += chunk;
            const UnitFrame ack = ask(59, bytesOf({table, part}) + chunk);
            ASSERT_EQ(ack.code, 59);
            EXPECT_EQ(ack.data.left(2), bytesOf({table, part}));
        }
        QByteArray readBack;
        for (int part = 1; part <= 11; ++part) {
            const UnitFrame reply = ask(60, bytesOf({table, part}));
            ASSERT_EQ(reply.data.size(), 130) << "table " << table << " part " << part;
            EXPECT_EQ(reply.data.left(2), bytesOf({table, part}));
            readBack += reply.data.mid(2);
        }
        EXPECT_EQ(readBack, whole) << "table " << table;
        const UnitFrame signature = ask(61, bytesOf({table}));
        EXPECT_EQ(wordAt(signature.data, 1), signatureOf(whole)) << "table " << table;
    }
}

TEST_F(UnitCatalogue, InstrumentalErrorTableWriteReadAndSignature)
{
    // Default: one row, 0 degrees, 0.00 pF.
    EXPECT_EQ(ask(63, bytesOf({2})).data, bytesOf({2, 1, 0, 0, 0}));
    const QByteArray block = bytesOf({3, 0xEC, 0x00, 0x05, 0, 0x01, 0x2C, 25, 0xFF, 0xFF});
    EXPECT_EQ(ask(62, bytesOf({2}) + block).code, 62);
    EXPECT_EQ(ask(63, bytesOf({2})).data, bytesOf({2}) + block);
    EXPECT_EQ(wordAt(ask(64, bytesOf({2})).data, 1), signatureOf(block));
    // A row count that does not match the rows sent is refused with error reply 190.
    EXPECT_EQ(ask(62, bytesOf({2, 2, 0, 0, 0})).code, 190);
    EXPECT_EQ(ask(62, bytesOf({2, 43})).code, 190);
}

TEST_F(UnitCatalogue, CommonConstantsAndRelayOutputs)
{
    QByteArray common(20, 0);
    EXPECT_EQ(ask(67).data, bytesOf({0, 0})) << "all-clear block signs 0";
    common[0] = 0x3F;
    EXPECT_EQ(ask(65, common).code, 65);
    EXPECT_EQ(ask(66).data, common);
    EXPECT_EQ(wordAt(ask(67).data, 0), signatureOf(common));

    EXPECT_EQ(ask(69).data, QByteArray(8, char(0x80)));
    const QByteArray relays = bytesOf({0x00, 0x91, 0xA2, 0x33, 0x45, 0xD6, 0x67, 0x80});
    EXPECT_EQ(ask(68, relays).code, 68);
    EXPECT_EQ(ask(69).data, relays);
    EXPECT_EQ(wordAt(ask(70).data, 0), signatureOf(relays));
}

TEST_F(UnitCatalogue, BootloaderCallsUntilAnsweredAndLeavesOnE)
{
    EXPECT_EQ(ask(71).code, 71);
    ASSERT_TRUE(QTest::qWaitFor([this] { return bootloaderCalls >= 2; }, 4000)) << "the bootloader calls with 'Y'";
    // In the bootloader frames go unanswered; 0x40 answers the call and the calls stop.
    sender.SendCommandNoData(50);
    port.write(QByteArray(1, char(0x40)));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !unit.model().bootloaderCalling(); }, 3000));
    const int calls = bootloaderCalls;
    letUnitTimePass(1200);
    EXPECT_EQ(bootloaderCalls, calls) << "no call after the answer";
    // 'E' brings the working program back; the request sent in the bootloader got no reply.
    port.write(QByteArray(1, 'E'));
    EXPECT_EQ(ask(81).code, 81);
    EXPECT_TRUE(frames.empty());
    EXPECT_FALSE(unit.model().inBootloader());
}

TEST_F(UnitCatalogue, ResetClockSearchAndInformation)
{
    EXPECT_EQ(ask(72).code, 72);

    // Set the clock to 31.12.2027 23:59:58, then read it back.
    EXPECT_EQ(ask(77, bytesOf({58, 59, 23, 31, 12, 27, 0, 0})).code, 77);
    const QByteArray clock = ask(78).data;
    ASSERT_EQ(clock.size(), 6);
    const QDateTime unitTime(QDate(2000 + clock[5], clock[4], clock[3]), QTime(clock[2], clock[1], clock[0]));
    const qint64 drift = QDateTime(QDate(2027, 12, 31), QTime(23, 59, 58)).secsTo(unitTime);
    EXPECT_GE(drift, 0);
    EXPECT_LE(drift, 2);

    // Sensor search: progress, then the list of the sensors found.
    sender.SendCommandNoData(79);
    QList<int> progress;
    UnitFrame step;
    do {
        step = next();
        ASSERT_EQ(step.code, 79);
        progress.append(std::uint8_t(step.data[0]));
    } while (progress.last() != 100);
    EXPECT_EQ(progress, (QList<int>{0, 25, 50, 75, 100}));
    ASSERT_EQ(step.data[1], 8);
    EXPECT_EQ(step.data.size(), 2 + 8 * 3);
    EXPECT_EQ(step.data.mid(2, 3), bytesOf({1, 2, 1}));

    const UnitFrame info = ask(81);
    ASSERT_GE(info.data.size(), 23);
    EXPECT_EQ(info.data.mid(4, 19), QByteArray("TVM-KV7-SIM-026-001"));
}

TEST_F(UnitCatalogue, AddressChangeAnswersFromTheNewAddress)
{
    const UnitFrame reply = ask(82, bytesOf({9}));
    EXPECT_EQ(reply.address, 9);
    EXPECT_EQ(reply.code, 82);
    // The old address is no longer answered; the new one is.
    sender.SendCommandNoData(50);
    host.address = QStringLiteral("9");
    EXPECT_EQ(ask(50).address, 9);
    EXPECT_TRUE(frames.empty());
}

TEST_F(UnitCatalogue, WholeImageChunksAndSignature)
{
    const QByteArray chunk = pattern(128, 77);
    EXPECT_EQ(ask(86, bytesOf({12}) + chunk).data, bytesOf({12}));
    EXPECT_EQ(ask(87, bytesOf({12})).data, bytesOf({12}) + chunk);
    // Chunk 220 lies beyond the image: it is accepted and read back as erased bytes.
    EXPECT_EQ(ask(86, bytesOf({220}) + chunk).data, bytesOf({220}));
    EXPECT_EQ(ask(87, bytesOf({220})).data, bytesOf({220}) + QByteArray(128, char(0xFF)));

    QByteArray image;
    for (int n = 0; n < 220; ++n)
        image += ask(87, bytesOf({n})).data.mid(1);
    ASSERT_EQ(image.size(), 28160);
    EXPECT_EQ(wordAt(ask(88).data, 0), signatureOf(image));
}

TEST_F(UnitCatalogue, OtherAddressesAndBadFramesGoUnanswered)
{
    host.address = QStringLiteral("2");
    sender.SendCommandNoData(50);
    port.write(":0132CE\r\n");  // wrong LRC
    host.address = QStringLiteral("1");
    EXPECT_EQ(ask(81).code, 81);
    EXPECT_TRUE(frames.empty());
}

TEST_F(UnitCatalogue, FramesThePcNeverAsksFor)
{
    const sim::UnitModel& model = unit.model();
    unit.sendFrame(model.commandDoneFrame());
    unit.sendFrame(model.newCd2Frame(2, 1234));
    unit.sendFrame(model.cd2ErrorFrame(2, 1));
    unit.sendFrame(model.channelConstantsErrorFrame(32, 5));
    unit.sendFrame(model.errorTableWriteErrorFrame());
    const struct {
        int code;
        QByteArray data;
    } expected[] = {
        {76, {}}, {98, bytesOf({2, 0x04, 0xD2})}, {226, bytesOf({2, 1})}, {181, bytesOf({32, 5})}, {190, {}}};
    for (const auto& e : expected) {
        const UnitFrame frame = next();
        EXPECT_TRUE(frame.good);
        EXPECT_EQ(frame.code, e.code);
        EXPECT_EQ(frame.data, e.data) << e.code;
    }
}

class ActiveUnit : public UnitFixture {
protected:
    static sim::UnitOptions active()
    {
        sim::UnitOptions options;
        options.activeMode = true;
        options.channels[6] = sim::ChannelMode::Silent;
        options.channels[7] = sim::ChannelMode::NotConnected;
        return options;
    }
    ActiveUnit() : UnitFixture(active()) {}
};

TEST_F(ActiveUnit, SendsARecordASecondPerEnabledChannel)
{
    QList<int> channels;
    QList<qint64> times;
    for (int i = 0; i < 14; ++i) {
        const UnitFrame record = next(2500);
        ASSERT_EQ(record.code, 52);
        channels.append(record.data[2]);
        times.append(record.atMs);
    }
    EXPECT_EQ(channels, (QList<int>{0, 1, 2, 3, 4, 5, 7, 0, 1, 2, 3, 4, 5, 7})) << "channel 7 silent, 8 its status";
    EXPECT_GE(times[7] - times[0], 900) << "a second between rounds";
    EXPECT_LE(times[7] - times[0], 1200);

    // Stopping measurement for all channels stops the records; records already on the line
    // arrive before the reply.
    sender.SendCommandByte(51, 0);
    UnitFrame reply;
    do
        reply = next();
    while (reply.good && reply.code == 52);
    EXPECT_EQ(reply.code, 51);
    letUnitTimePass(1200);
    EXPECT_TRUE(frames.empty()) << "no record after the stop";
    EXPECT_EQ(ask(50).data, bytesOf({0}));
}

}  // namespace
