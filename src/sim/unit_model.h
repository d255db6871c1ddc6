#pragma once

#include "link/frame_assembler.h"
#include "settings/settings_layout.h"

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <cstdint>
#include <vector>

namespace kv7m::sim {

// What a measuring channel of the simulated unit reports.
enum class ChannelMode {
    Measuring,     // full measurement records
    InProgress,    // status record "measuring in progress" (type 1)
    NoSignal,      // status record "no signal from the sensor" (type 2)
    NotConnected,  // status record "sensor not connected" (type 4)
    Silent,        // never answers for this channel
};

struct UnitOptions {
    std::uint8_t address = 1;
    // Sets the active-mode option of the common constants at start.
    bool activeMode = false;
    std::uint32_t seed = 1;
    std::array<ChannelMode, 8> channels{};
    // The unit's clock at model time 0; the PC's time when not set.
    QDateTime startTime;
};

// Something the unit puts on the line.
struct Emission {
    QByteArray bytes;
    // Answers to a request (the fault knobs count these); records a unit sends by itself and the
    // bootloader's calls are not replies.
    bool reply = false;
};

// A processing unit in software: takes the bytes a PC sends and produces what the unit answers.
// It holds a 28160-byte settings memory laid out like the settings file, starting from the
// default image. Time is given by the caller in milliseconds, so the model is deterministic.
class UnitModel {
public:
    explicit UnitModel(const UnitOptions& options);

    // Bytes from the PC arriving at `nowMs`; returns what the unit answers at once.
    std::vector<Emission> receive(const QByteArray& bytes, qint64 nowMs);
    // What falls due up to `nowMs`: active-mode records, bootloader calls, sensor-search progress.
    std::vector<Emission> advance(qint64 nowMs);
    // When `advance` has something next, or -1.
    qint64 nextDueMs() const;

    // Frames the PC never asks for, and error replies, sent on request.
    QByteArray commandDoneFrame() const;                              // 76
    QByteArray newCd2Frame(int channelIndex, int cd2Tenths) const;    // 98
    QByteArray cd2ErrorFrame(int channelIndex, int code) const;       // 226
    QByteArray channelConstantsErrorFrame(int kind, int code) const;  // 181
    QByteArray errorTableWriteErrorFrame() const;                     // 190

    std::uint8_t address() const { return m_address; }
    SettingsImage& memory() { return m_memory; }
    const SettingsImage& memory() const { return m_memory; }
    bool activeMode() const;
    bool inBootloader() const { return m_bootloader != Bootloader::Off; }
    // In the bootloader and still calling the programmer with 'Y'.
    bool bootloaderCalling() const { return m_bootloader == Bootloader::Waiting; }
    QDateTime clock(qint64 nowMs) const;

    // The record reply 52 carries for a channel at `nowMs` (empty for a silent channel).
    QByteArray measurementRecord(int channelIndex, qint64 nowMs) const;

    // Wire frame from this unit.
    QByteArray frame(std::uint8_t code, const QByteArray& data = {}) const;

private:
    enum class Bootloader { Off, Waiting, Programming };

    std::vector<Emission> handleFrame(const QByteArray& chars, qint64 nowMs);
    std::vector<Emission> handleRequest(std::uint8_t code, const QByteArray& data, qint64 nowMs);
    QByteArray memoryBytes(std::size_t offset, std::size_t length) const;
    void storeSlot(std::size_t offset, const QByteArray& block);
    QByteArray signatureOf(std::size_t offset, std::size_t length) const;
    static bool validTableCode(int code);
    static std::size_t tableOffset(int code);
    QByteArray errorTableBlock(int channelIndex) const;
    std::uint8_t sensorAddress(int channelIndex) const;

    UnitOptions m_options;
    std::uint8_t m_address;
    SettingsImage m_memory;
    std::array<ChannelMode, 8> m_channels;
    std::uint8_t m_pollMask = 0xFF;
    qint64 m_clockOffsetMs = 0;
    FrameAssembler m_assembler;

    Bootloader m_bootloader = Bootloader::Off;
    qint64 m_nextBootloaderCallMs = -1;

    // Active mode: whether records go out, and the next second at which they do.
    void syncRecordSchedule(qint64 nowMs);
    bool m_recordsRunning = false;
    qint64 m_nextRecordsMs = 1000;

    // Sensor search in progress: the next progress step and when it falls due.
    int m_searchStep = -1;
    qint64 m_nextSearchMs = -1;
};

}  // namespace kv7m::sim
