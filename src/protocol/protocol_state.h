#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

namespace kv7m {

// Protocol state shared by the main window and every window that talks to a unit. The main
// window owns the one instance and hands it out by reference.
struct ProtocolState {
    static constexpr std::size_t kTxFrameSize = 700;
    // Longest reply of the catalogue is 269 characters; frames are bounded well above that.
    static constexpr std::size_t kMaxFrameChars = 1024;
    static constexpr std::size_t kRxFrameSize = kMaxFrameChars + 8;
    static constexpr int kOutFrameCount = 11;
    static constexpr std::size_t kOutFrameSize = 400;
    // Bytes between ':' and CR LF of a paced table frame: address, code, 130 data bytes, LRC.
    static constexpr std::size_t kOutFrameBody = 133;
    static constexpr int kChannelCount = 8;

    // Transmit side: the last request, unencoded (':' address code data LRC CR LF).
    std::array<std::uint8_t, kTxFrameSize> TxFrame{};
    std::array<std::array<std::uint8_t, kOutFrameSize>, kOutFrameCount> OutFrameTable{};
    int PacedFrameIndex = 0;

    // Receive side: queued bytes, the frame being assembled (characters, then decoded bytes).
    std::deque<std::uint8_t> RxQueue;
    std::array<std::uint8_t, kRxFrameSize> RxFrame{};
    int RxLength = 0;
    bool FrameStarted = false;
    bool FrameComplete = false;
    int FrameIndex = 0;
    bool MonitorOn = false;

    // Table reads.
    int TableFramesReceived = 0;
    int TableRowIndex = 0;

    // Signatures the editors expect back from the unit.
    std::uint16_t CommonSignature = 0;
    std::uint16_t ChannelConstantsSignature = 0;
    std::uint16_t TableSignature = 0;
    std::uint16_t InstrumentalErrorSignature = 0;
    std::uint16_t RelaySignature = 0;

    // Last measurement per channel, read by the calibration assistants (0 = no data).
    std::array<double, kChannelCount> LastCS1{};
    std::array<double, kChannelCount> LastT2{};

    // Stale-row clearing of the system table.
    int MainTableClearTimeOut = 60;
    std::array<int, kChannelCount> StaleCountdown{};

    // Query mode.
    int PolledChannel = 0;
    int NoAnswerTicks = 0;
    int ReplyTimeOut = 60;

    void resetAssembler()
    {
        FrameStarted = false;
        FrameComplete = false;
        FrameIndex = 0;
    }
};

}  // namespace kv7m
