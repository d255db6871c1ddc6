#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kv7m {

class ComPortLink;
class Prompter;
class ReplyDispatcher;
class SerialPort;
struct ProtocolState;

// What the receive side needs of the main window.
class ReceiveHost {
public:
    virtual ~ReceiveHost() = default;
    virtual bool isBootloaderMode() const = 0;
    virtual void setBootloaderMode(bool on) = 0;
    // Hands the port to the external programmer.
    virtual void startProgrammer() = 0;
    virtual bool isAddressDetectionOn() const = 0;
    // The current unit address as learnt from a frame.
    virtual void unitAddressDetected(int address) = 0;
    virtual void receiveIndicatorOn() = 0;
    // The line monitor, fed while it records.
    virtual void monitorByte(std::uint8_t byte) = 0;
    virtual void monitorFrame(const QByteArray& frameText) = 0;
};

// Bytes from the port into frames: every byte is queued (and shown by the line monitor), the
// queue is assembled into frames from ':' to CR LF, and each frame is handled completely, message
// boxes included, before the next is taken. Driven by the port's bytes-arrived signal.
class ReceivePipeline {
public:
    ReceivePipeline(ProtocolState& state, ComPortLink& link, ReplyDispatcher& dispatcher, Prompter& prompter,
                    ReceiveHost& host);

    // The port has bytes: read them (while the reader runs) and assemble what is queued.
    void onBytesArrived();
    // Takes bytes as the reader does, for the port's bytes and for tests.
    void receive(const QByteArray& bytes);
    // A frame is being handled (its handler may be showing a message box).
    bool isHandlingFrame() const { return m_assembling; }

private:
    // The reader's part: bytes into the queue (and the monitor), the bootloader's call answered.
    void queueBytes(const QByteArray& bytes);
    // The assembler's part: the queue into frames, each handled before the next.
    void assemble();
    void takeQueue();

    ProtocolState& m_state;
    ComPortLink& m_link;
    ReplyDispatcher& m_dispatcher;
    Prompter& m_prompter;
    ReceiveHost& m_host;
    // A reply handler's message box runs the event loop: bytes arriving meanwhile are only queued.
    bool m_assembling = false;
    // The reader pauses while its own bootloader question is open.
    bool m_inHandshake = false;
};

namespace receive_text {
inline const QString StartProgrammerQuestion = QStringLiteral("Запустить загрузчик?");
}

}  // namespace kv7m
