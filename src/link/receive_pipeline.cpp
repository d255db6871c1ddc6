#include "link/receive_pipeline.h"

#include "app/prompter.h"
#include "link/com_port_link.h"
#include "link/frame_codec.h"
#include "link/serial_port.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"

namespace kv7m {

namespace {

constexpr std::uint8_t kBootloaderCall = 'Y';
constexpr std::uint8_t kBootloaderAnswer = 0x40;

}  // namespace

ReceivePipeline::ReceivePipeline(ProtocolState& state, ComPortLink& link, ReplyDispatcher& dispatcher,
                                 Prompter& prompter, ReceiveHost& host)
    : m_state(state), m_link(link), m_dispatcher(dispatcher), m_prompter(prompter), m_host(host)
{
}

void ReceivePipeline::onBytesArrived()
{
    if (m_inHandshake || !m_link.readerRunning())
        return;
    receive(m_link.port().read(-1));
}

void ReceivePipeline::receive(const QByteArray& bytes)
{
    queueBytes(bytes);
    assemble();
}

void ReceivePipeline::queueBytes(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto byte = std::uint8_t(c);
        if (byte == kBootloaderCall && m_host.isBootloaderMode()) {
            SerialPort& port = m_link.port();
            port.purge();
            port.write(QByteArray(1, char(kBootloaderAnswer)));
            m_host.setBootloaderMode(true);
            m_state.RxQueue.push_back(byte);
            if (m_state.MonitorOn)
                m_host.monitorByte(byte);
            m_inHandshake = true;
            const bool start =
                m_prompter.askYesNo(kMessageCaption, receive_text::StartProgrammerQuestion, PromptIcon::None);
            m_inHandshake = false;
            if (start)
                m_host.startProgrammer();
            // What followed the call in the same read is dropped, like what the purge removed.
            break;
        }
        m_state.RxQueue.push_back(byte);
        if (m_state.MonitorOn)
            m_host.monitorByte(byte);
    }
}

void ReceivePipeline::assemble()
{
    if (m_assembling)
        return;
    m_assembling = true;
    for (;;) {
        takeQueue();
        // The port does not signal again while its own signal is being handled, so bytes that
        // came in while a reply handler's message box was open are fetched here.
        if (m_inHandshake || !m_link.readerRunning() || m_link.port().bytesAvailable() <= 0)
            break;
        queueBytes(m_link.port().read(-1));
    }
    m_assembling = false;
}

void ReceivePipeline::takeQueue()
{
    while (!m_state.RxQueue.empty()) {
        const std::uint8_t byte = m_state.RxQueue.front();
        m_state.RxQueue.pop_front();
        if (byte == 0x00)
            continue;
        if (byte == kFrameStart) {
            m_state.FrameStarted = true;
            m_state.FrameIndex = 0;
        }
        if (!m_state.FrameStarted)
            continue;
        // A frame that never ends is dropped like a failed check, never written past the buffer.
        if (std::size_t(m_state.FrameIndex) >= ProtocolState::kMaxFrameChars) {
            m_dispatcher.rejectFrame();
            continue;
        }
        auto& frame = m_state.RxFrame;
        const int index = m_state.FrameIndex;
        frame[std::size_t(index)] = byte;
        if (index == 4 && m_host.isAddressDetectionOn()) {
            const int code = hexPairValue(frame[3], frame[4]);
            if (code >= 50)
                m_host.unitAddressDetected(hexPairValue(frame[1], frame[2]));
        }
        if (index > 0 && frame[std::size_t(index - 1)] == kCR && byte == kLF)
            m_state.FrameComplete = true;
        if (m_state.FrameStarted && m_state.FrameComplete) {
            frame[std::size_t(index + 1)] = 0;
            if (m_state.MonitorOn)
                m_host.monitorFrame(QByteArray(reinterpret_cast<const char*>(frame.data()), index + 1));
            m_host.receiveIndicatorOn();
            m_dispatcher.DispatchReply();
            continue;
        }
        ++m_state.FrameIndex;
    }
}

}  // namespace kv7m
