#include "link/receive_pipeline.h"

#include "link/com_port_link.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"
#include "support/fake_receive_host.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"
#include "support/temp_settings.h"

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

struct Dispatched {
    int address;
    int code;
    QByteArray data;
};

class ReceivePipelineTest : public ::testing::Test {
protected:
    ReceivePipelineTest()
    {
        port.open(QStringLiteral("COM1"), QStringLiteral("19200"));
        link.setReaderRunning(true);
        for (int code = 0; code < 256; ++code)
            dispatcher.setHandler(std::uint8_t(code), [this] { record(); });
    }

    void record()
    {
        const int length = state.RxLength;
        dispatched.append({state.RxFrame[0], state.RxFrame[1],
                           QByteArray(reinterpret_cast<const char*>(state.RxFrame.data() + 2), length - 3)});
    }

    // The bytes arrive on the port and the port says so.
    void arrive(const QByteArray& bytes) { port.inject(bytes); }

    TempSettings store;
    ProtocolState state;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    FakeReceiveHost host;
    ComPortLink link{port, *store.settings, prompter, [](const QString&) {}};
    int checksumErrors = 0;
    ReplyDispatcher dispatcher{state, [this] { ++checksumErrors; }};
    ReceivePipeline pipeline{state, link, dispatcher, prompter, host};
    QList<Dispatched> dispatched;

    void SetUp() override
    {
        QObject::connect(&port, &SerialPort::bytesArrived, [this] { pipeline.onBytesArrived(); });
    }
};

struct StreamCase {
    const char* name;
    QByteArray stream;
    QList<int> codes;  // dispatched codes in order
    int checksumErrors;
};

void PrintTo(const StreamCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReceiveStream : public ReceivePipelineTest, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(ReceiveStream, AssemblesFramesFromTheStream)
{
    const StreamCase& c = GetParam();
    // Byte by byte and all at once give the same frames.
    for (const bool whole : {false, true}) {
        dispatched = {};
        checksumErrors = 0;
        if (whole) {
            arrive(c.stream);
        } else {
            for (const char b : c.stream)
                arrive(QByteArray(1, b));
        }
        QList<int> codes;
        for (const Dispatched& d : dispatched)
            codes.append(d.code);
        EXPECT_EQ(codes, c.codes) << (whole ? "whole" : "byte by byte");
        EXPECT_EQ(checksumErrors, c.checksumErrors) << (whole ? "whole" : "byte by byte");
        EXPECT_FALSE(state.FrameStarted) << "the assembler is ready for the next frame";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ReceiveStream,
    ::testing::Values(StreamCase{"strayCharactersBefore", "xy:0132CD\r\n", {50}, 0},
                      StreamCase{"restartAtSecondColon", ":01:0133FFCD\r\n", {51}, 0},
                      StreamCase{"backToBack", ":0132CD\r\n:0133FFCD\r\n", {50, 51}, 0},
                      StreamCase{"wrongLrc", ":0132CE\r\n", {}, 1},
                      StreamCase{"zeroBytesDropped",
                                 QByteArray(":01\0"
                                            "32CD\r\n",
                                            10),
                                 {50},
                                 0},
                      StreamCase{"codeWithoutHandlerLeavesAssemblerReady", ":0149B6\r\n:0132CD\r\n", {73, 50}, 0},
                      StreamCase{"oddLengthRejected", ":0132C\r\n:0132CD\r\n", {50}, 1},
                      StreamCase{"oneByteWithBadSumRejected", ":01\r\n", {}, 1},
                      StreamCase{"oneByteWithGoodSumIgnored", ":00\r\n:0132CD\r\n", {50}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceivePipelineTest, FrameFromAnotherUnitIsHandledToo)
{
    arrive(":0934FF00C4\r\n");  // unit 9, code 52
    ASSERT_EQ(dispatched.size(), 1);
    EXPECT_EQ(dispatched[0].address, 9);
    EXPECT_EQ(dispatched[0].code, 52);
    EXPECT_EQ(dispatched[0].data, QByteArray("\xFF\x00", 2));
}

TEST_F(ReceivePipelineTest, AddressIsLearntAtTheFourthCharacter)
{
    struct Case {
        bool detection;
        QByteArray start;
        QList<int> detected;
    };
    const Case cases[] = {{true, ":0734", {7}}, {false, ":0734", {}}, {true, ":0710", {}},
                          {true, ":0732", {7}}, {true, ":0731", {}},  {true, ":FF58", {255}}};
    for (const Case& c : cases) {
        host.detectedAddresses = {};
        host.detection = c.detection;
        arrive(c.start);
        EXPECT_EQ(host.detectedAddresses, c.detected) << c.start.constData() << " detection " << c.detection;
        EXPECT_TRUE(dispatched.isEmpty()) << "before the frame is complete";
        state.resetAssembler();
    }
}

TEST_F(ReceivePipelineTest, OverlongFrameIsDroppedLikeAFailedCheck)
{
    arrive(':' + QByteArray(int(ProtocolState::kMaxFrameChars) + 40, 'A'));
    EXPECT_EQ(checksumErrors, 1);
    arrive(":0132CD\r\n");
    ASSERT_EQ(dispatched.size(), 1);
    EXPECT_EQ(dispatched[0].code, 50);
}

TEST_F(ReceivePipelineTest, OneFrameIsHandledCompletelyBeforeTheNext)
{
    // A handler's message box runs the event loop, and the next frame arrives meanwhile.
    QStringList order;
    dispatcher.setHandler(50, [&] {
        order << QStringLiteral("50 begins");
        arrive(":0133FFCD\r\n");
        order << QStringLiteral("50 ends");
    });
    dispatcher.setHandler(51, [&] { order << QStringLiteral("51"); });
    arrive(":0132CD\r\n");
    EXPECT_EQ(order, (QStringList{QStringLiteral("50 begins"), QStringLiteral("50 ends"), QStringLiteral("51")}));
}

TEST_F(ReceivePipelineTest, BytesThatCameDuringAHandlerAreFetchedAfterIt)
{
    // The port does not signal again while its signal is being handled: the next reply waits in
    // the port, and nothing else would fetch it on a quiet line.
    QList<int> codes;
    dispatcher.setHandler(50, [&] {
        codes.append(50);
        port.deliverQuietly(":0133FFCD\r\n");
    });
    dispatcher.setHandler(51, [&] { codes.append(51); });
    arrive(":0132CD\r\n");
    EXPECT_EQ(codes, (QList<int>{50, 51}));
}

TEST_F(ReceivePipelineTest, StoppedReaderLeavesBytesInThePort)
{
    link.setReaderRunning(false);
    arrive(":0132CD\r\n");
    EXPECT_TRUE(dispatched.isEmpty());
    link.setReaderRunning(true);
    arrive(QByteArray());
    EXPECT_EQ(dispatched.size(), 1);
}

TEST_F(ReceivePipelineTest, BootloaderCallIsAnsweredAndAsks)
{
    host.bootloader = true;
    prompter.answer(PromptAnswer::Yes);
    arrive("Y:0132CD\r\n");
    EXPECT_EQ(port.written, QByteArray(1, char(0x40)));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0], (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Запустить загрузчик?"),
                                           PromptIcon::None, PromptButtons::YesNo}));
    EXPECT_EQ(host.programmerStarts, 1);
    EXPECT_TRUE(dispatched.isEmpty()) << "what followed the call in the same read is dropped";
    EXPECT_TRUE(host.bootloader);

    // Answered No: no programmer.
    prompter.answer(PromptAnswer::No);
    arrive("Y");
    EXPECT_EQ(host.programmerStarts, 1);

    // Outside bootloader mode a 'Y' is an ordinary character.
    host.bootloader = false;
    port.written.clear();
    arrive("Y:0132CD\r\n");
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_EQ(dispatched.size(), 1);
}

TEST_F(ReceivePipelineTest, MonitorSeesBytesAndFramesOnlyWhileRecording)
{
    arrive("ab:0132CD\r\n");
    EXPECT_TRUE(host.monitoredBytes.isEmpty());
    EXPECT_TRUE(host.monitoredFrames.isEmpty());
    state.MonitorOn = true;
    arrive("\x01:1032BE\r\n");
    EXPECT_EQ(host.monitoredBytes, QByteArray("\x01:1032BE\r\n"));
    EXPECT_EQ(host.monitoredFrames, QList<QByteArray>{QByteArray(":1032BE\r\n")});
    EXPECT_EQ(host.receiveFlashes, 2);
}

}  // namespace
