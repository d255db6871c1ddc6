#include "link/frame_sender.h"

#include "link/frame_codec.h"
#include "protocol/protocol_state.h"
#include "support/fake_sender_host.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

using namespace kv7m;
using kv7m::test::FakeSenderHost;
using kv7m::test::MemorySerialPort;
using kv7m::test::ScriptedPrompter;

namespace {

class FrameSenderTest : public ::testing::Test {
protected:
    void SetUp() override { port.open(QStringLiteral("COM1"), QStringLiteral("19200")); }

    ProtocolState state;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    FakeSenderHost host;
    FrameSender sender{state, port, prompter, host};
};

struct AddressCase {
    const char* addressText;
    const char* wire;
};

void PrintTo(const AddressCase& c, std::ostream* os)
{
    *os << '"' << c.addressText << '"';
}

class SenderAddressTest : public FrameSenderTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(SenderAddressTest, StatusRequestGoesToLow8BitsOfAddressPanel)
{
    host.address = QString::fromLatin1(GetParam().addressText);
    ASSERT_TRUE(sender.SendCommandNoData(50));
    EXPECT_EQ(port.written, QByteArray(GetParam().wire) + "\r\n");
    EXPECT_EQ(port.writes.size(), 1) << "a frame leaves in one write";
    EXPECT_TRUE(prompter.prompts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(AddressPanel, SenderAddressTest,
                         ::testing::Values(AddressCase{"1", ":0132CD"}, AddressCase{"300", ":2C32A2"},
                                           AddressCase{"5", ":0532C9"}, AddressCase{"255", ":FF32CF"},
                                           AddressCase{"-1", ":FF32CF"}, AddressCase{" 16", ":1032BE"}),
                         [](const auto& info) { return "address" + std::to_string(info.index); });

TEST_F(FrameSenderTest, EachSenderComposesItsFrameInTxFrame)
{
    ASSERT_TRUE(sender.SendCommandByte(51, 255));
    EXPECT_EQ(port.writes.last(), QByteArray(":0133FFCD\r\n"));
    EXPECT_EQ(state.TxFrame[0], ':');
    EXPECT_EQ(state.TxFrame[3], 0xFF);
    EXPECT_EQ(state.TxFrame[4], 0xCD);
    EXPECT_EQ(state.TxFrame[5], 0x0D);
    EXPECT_EQ(state.TxFrame[6], 0x0A);

    const std::uint8_t data[3] = {0x02, 0x10, 0xAB};
    ASSERT_TRUE(sender.SendCommandData(60, data, 3));
    EXPECT_EQ(port.writes.last(), QByteArray(":013C0210AB06\r\n"));
    EXPECT_EQ(host.transmitFlashes, 2);
}

TEST_F(FrameSenderTest, SendFrameEncodesWhatAnEditorComposedInPlace)
{
    state.TxFrame[0] = ':';
    state.TxFrame[1] = 1;
    state.TxFrame[2] = 51;
    state.TxFrame[3] = 0;
    state.TxFrame[4] = computeLrc(&state.TxFrame[1], 3);
    state.TxFrame[5] = 0x0D;
    state.TxFrame[6] = 0x0A;
    ASSERT_TRUE(sender.SendFrame(7));
    EXPECT_EQ(port.written, QByteArray(":013300CC\r\n"));
}

TEST_F(FrameSenderTest, LargestFrameFitsAndLargerIsRefused)
{
    std::vector<std::uint8_t> data(FrameSender::kMaxDataBytes, 0x11);
    ASSERT_TRUE(sender.SendCommandData(86, data.data(), data.size()));
    EXPECT_EQ(port.written.size(), qsizetype(2 * data.size() + 9));

    port.written.clear();
    data.push_back(0x11);
    EXPECT_FALSE(sender.SendCommandData(86, data.data(), data.size()));
    EXPECT_FALSE(sender.SendFrame(ProtocolState::kTxFrameSize + 1));
    EXPECT_FALSE(sender.SendFrame(5));
    EXPECT_TRUE(port.written.isEmpty());
}

TEST_F(FrameSenderTest, QueuedFrameSendsAll133BytesOfItsEntry)
{
    auto& entry = state.OutFrameTable[3];
    entry[0] = ':';
    entry[1] = 1;
    entry[2] = 59;
    entry[3] = 11;
    entry[4] = 4;
    for (int i = 0; i < 128; ++i)
        entry[std::size_t(5 + i)] = std::uint8_t(i);
    entry[133] = computeLrc(&entry[1], 132);
    entry[134] = 0x0D;
    entry[135] = 0x0A;
    ASSERT_TRUE(sender.SendQueuedFrame(3));
    ASSERT_EQ(port.written.size(), 269);
    EXPECT_TRUE(port.written.startsWith(":013B0B0400010203"));
    EXPECT_TRUE(
        port.written.endsWith("7E7F" + QByteArray::number(entry[133], 16).toUpper().rightJustified(2, '0') + "\r\n"));
    EXPECT_FALSE(sender.SendQueuedFrame(11));
    EXPECT_FALSE(sender.SendQueuedFrame(-1));
}

TEST_F(FrameSenderTest, NonNumericAddressReportsConversionErrorAndSendsNothing)
{
    for (const char* text : {"", "abc", "12a", "1.5"}) {
        prompter.prompts.clear();
        host.address = QString::fromLatin1(text);
        EXPECT_FALSE(sender.SendCommandNoData(50)) << text;
        ASSERT_EQ(prompter.prompts.size(), 1) << text;
        EXPECT_EQ(prompter.prompts[0].icon, PromptIcon::Error);
        EXPECT_TRUE(prompter.prompts[0].text.contains(QString::fromLatin1(text)));
    }
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_EQ(host.transmitFlashes, 0) << "nothing was composed";
}

TEST_F(FrameSenderTest, ClosedPortLosesRequestSilentlyButIndicatorFlashes)
{
    port.close();
    sender.SendCommandNoData(50);
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_EQ(host.transmitFlashes, 1);
}

TEST_F(FrameSenderTest, BootloaderGuardYesSendsEBeforeTheFrame)
{
    host.bootloader = true;
    prompter.answer(PromptAnswer::Yes);
    ASSERT_TRUE(sender.SendCommandNoData(50));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0],
              (Prompt{QStringLiteral("КВ7М"),
                      QStringLiteral("Блок ТВМ находится в режиме загрузчика программ.\nПерейте в рабочий режим?"),
                      PromptIcon::None, PromptButtons::YesNo}));
    ASSERT_EQ(port.writes.size(), 2);
    EXPECT_EQ(port.writes[0], QByteArray("E"));
    EXPECT_EQ(port.writes[1], QByteArray(":0132CD\r\n"));
    EXPECT_FALSE(host.bootloader);

    // Out of the bootloader the next request goes straight out.
    sender.SendCommandNoData(50);
    EXPECT_EQ(prompter.prompts.size(), 1);
}

TEST_F(FrameSenderTest, BootloaderGuardNoDropsTheRequest)
{
    host.bootloader = true;
    prompter.answer(PromptAnswer::No);
    EXPECT_FALSE(sender.SendQueuedFrame(0));
    EXPECT_TRUE(port.written.isEmpty());
    EXPECT_TRUE(host.bootloader);
    EXPECT_EQ(prompter.prompts.size(), 1);
}

}  // namespace
