#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kv7m {

class Prompter;
class SerialPort;
struct ProtocolState;

// What the senders need of the main window.
class SenderHost {
public:
    virtual ~SenderHost() = default;
    // Text of the status-bar panel that holds the current unit address.
    virtual QString currentAddressText() const = 0;
    virtual bool isBootloaderMode() const = 0;
    virtual void leaveBootloaderMode() = 0;
    // Flashes the transmit indicator.
    virtual void transmitIndicatorOn() = 0;
};

// Every request of the program leaves through these: the frame is composed in TxFrame (or taken
// from OutFrameTable), encoded and written to the port in one write, always to the current unit
// address. They return true when the frame went to the port (which may be closed).
class FrameSender {
public:
    // A frame composed in TxFrame carries at most this many data bytes.
    static constexpr std::size_t kMaxDataBytes = 297;

    FrameSender(ProtocolState& state, SerialPort& port, Prompter& prompter, SenderHost& host);

    bool SendCommandNoData(std::uint8_t code);
    bool SendCommandByte(std::uint8_t code, std::uint8_t byte);
    bool SendCommandData(std::uint8_t code, const std::uint8_t* data, std::size_t count);
    // Sends the frame of `count` bytes (':' through LF) prepared in TxFrame.
    bool SendFrame(std::size_t count);
    // Sends entry `index` (0..10) of OutFrameTable.
    bool SendQueuedFrame(int index);

    // Low 8 bits of the current unit address; reports a non-numeric address and gives nothing.
    std::optional<std::uint8_t> currentAddress();

private:
    bool sendEncoded(const QByteArray& text);

    ProtocolState& m_state;
    SerialPort& m_port;
    Prompter& m_prompter;
    SenderHost& m_host;
};

namespace sender_text {
inline const QString LeaveBootloaderQuestion =
    QStringLiteral("Блок ТВМ находится в режиме загрузчика программ.\nПерейте в рабочий режим?");
}  // namespace sender_text

}  // namespace kv7m
