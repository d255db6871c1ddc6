#include "protocol/reply_dispatcher.h"

#include "link/frame_codec.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "support/fake_sender_host.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

class ReplyDispatcherTest : public ::testing::Test {
protected:
    ReplyDispatcherTest()
    {
        port.open(QStringLiteral("COM1"), QStringLiteral("19200"));
        registerUnitInitiatedReplies(dispatcher, state, prompter, sender, [this] { return separator; });
    }

    // A frame as the assembler leaves it: its characters in RxFrame, FrameIndex at the LF.
    void dispatch(const QByteArray& text)
    {
        std::copy(text.begin(), text.end(), state.RxFrame.begin());
        state.FrameStarted = state.FrameComplete = true;
        state.FrameIndex = int(text.size()) - 1;
        dispatcher.DispatchReply();
    }

    static QByteArray wire(int code, const QByteArray& data)
    {
        std::uint8_t frame[64];
        const std::size_t n =
            composeFrame(frame, sizeof frame, 1, std::uint8_t(code),
                         reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
        return encodeFrame(frame, n);
    }

    ProtocolState state;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    FakeSenderHost host;
    FrameSender sender{state, port, prompter, host};
    int checksumErrors = 0;
    ReplyDispatcher dispatcher{state, [this] { ++checksumErrors; }};
    QChar separator = QLatin1Char(',');
};

TEST_F(ReplyDispatcherTest, DecodesRoutesAndResetsTheAssembler)
{
    int calls = 0;
    dispatcher.setHandler(50, [&] {
        ++calls;
        EXPECT_EQ(state.RxLength, 4);
        EXPECT_EQ(state.RxFrame[2], 0xFF);
    });
    dispatch(":0132FFCE\r\n");
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(state.FrameStarted);
    EXPECT_EQ(state.FrameIndex, 0);

    dispatch(":0132FFCF\r\n");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(checksumErrors, 1);
    EXPECT_FALSE(state.FrameStarted);
}

TEST_F(ReplyDispatcherTest, UnitInitiatedReplies)
{
    struct Case {
        int code;
        QByteArray data;
        const char* text;  // nullptr: no message
        PromptIcon icon;
    };
    const Case cases[] = {
        {76, {}, "Команда выполнена", PromptIcon::Information},
        {98, QByteArray("\x02\x04\xD2", 3), "Блок ТВМ установил новый параметр CD2=123,4пФ", PromptIcon::Information},
        {226, QByteArray("\x02\x01", 2),
         "Нет данных для вычислений, блок ТВМ должен хотя бы один раз опросить датчки на этом измерительном канале",
         PromptIcon::Error},
        {226, QByteArray("\x02\x02", 2),
         "Вычисленное значение CD2 получается отрицательным, проверте настройку максимума или уточните значение "
         "влажности",
         PromptIcon::Error},
        {226, QByteArray("\x02\x07", 2), nullptr, PromptIcon::None},
    };
    for (const Case& c : cases) {
        prompter.prompts.clear();
        dispatch(wire(c.code, c.data));
        if (!c.text) {
            EXPECT_TRUE(prompter.prompts.isEmpty()) << c.code;
            continue;
        }
        ASSERT_EQ(prompter.prompts.size(), 1) << c.code;
        EXPECT_EQ(prompter.prompts[0],
                  (Prompt{QStringLiteral("КВ7М"), QString::fromUtf8(c.text), c.icon, PromptButtons::Ok}));
    }
    // After the CD2 message the channel's constants are read back: command 54 for channel index 2.
    EXPECT_EQ(port.writes, QList<QByteArray>{QByteArray(":013602C7\r\n")});
}

}  // namespace
