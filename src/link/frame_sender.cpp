#include "link/frame_sender.h"

#include "app/integer_text.h"
#include "app/prompter.h"
#include "link/frame_codec.h"
#include "link/serial_port.h"
#include "protocol/protocol_state.h"

namespace kv7m {

FrameSender::FrameSender(ProtocolState& state, SerialPort& port, Prompter& prompter, SenderHost& host)
    : m_state(state), m_port(port), m_prompter(prompter), m_host(host)
{
}

std::optional<std::uint8_t> FrameSender::currentAddress()
{
    const QString text = m_host.currentAddressText();
    const std::optional<int> address = parseInteger(text);
    if (!address) {
        m_prompter.inform(kApplicationTitle, integerConversionErrorText(text), PromptIcon::Error);
        return std::nullopt;
    }
    return std::uint8_t(*address & 0xFF);
}

bool FrameSender::SendCommandNoData(std::uint8_t code)
{
    return SendCommandData(code, nullptr, 0);
}

bool FrameSender::SendCommandByte(std::uint8_t code, std::uint8_t byte)
{
    return SendCommandData(code, &byte, 1);
}

bool FrameSender::SendCommandData(std::uint8_t code, const std::uint8_t* data, std::size_t count)
{
    if (count > kMaxDataBytes)
        return false;
    const std::optional<std::uint8_t> address = currentAddress();
    if (!address)
        return false;
    const std::size_t frameBytes =
        composeFrame(m_state.TxFrame.data(), m_state.TxFrame.size(), *address, code, data, count);
    return SendFrame(frameBytes);
}

bool FrameSender::SendFrame(std::size_t count)
{
    if (count < kFrameOverhead || count > kMaxDataBytes + kFrameOverhead)
        return false;
    return sendEncoded(encodeFrame(m_state.TxFrame.data(), count));
}

bool FrameSender::SendQueuedFrame(int index)
{
    if (index < 0 || index >= ProtocolState::kOutFrameCount)
        return false;
    return sendEncoded(encodeFrame(m_state.OutFrameTable[std::size_t(index)].data(), ProtocolState::kOutFrameBody + 3));
}

bool FrameSender::sendEncoded(const QByteArray& text)
{
    m_host.transmitIndicatorOn();
    if (m_host.isBootloaderMode()) {
        if (!m_prompter.askYesNo(kMessageCaption, sender_text::LeaveBootloaderQuestion, PromptIcon::None))
            return false;
        m_port.write(QByteArray(1, 'E'));
        m_host.leaveBootloaderMode();
    }
    m_port.write(text);
    return true;
}

}  // namespace kv7m
