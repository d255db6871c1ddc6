#include "sim/unit_model.h"

#include "link/frame_codec.h"
#include "settings/signature.h"

#include <cmath>
#include <numbers>

namespace kv7m::sim {

namespace {

constexpr std::uint8_t kActiveModeBit = 0x01;
constexpr std::uint8_t kCalendarBit = 0x04;
constexpr qint64 kBootloaderCallMs = 1000;
constexpr qint64 kSearchStepMs = 300;
constexpr int kSearchSteps[] = {0, 25, 50, 75, 100};

void appendWord(QByteArray& out, int value)
{
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

void putWord(QByteArray& out, int offset, int value)
{
    out[offset] = char((value >> 8) & 0xFF);
    out[offset + 1] = char(value & 0xFF);
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v & 0xFF));
    return out;
}

int wordAt(const SettingsImage& memory, std::size_t offset)
{
    return memory[offset] << 8 | memory[offset + 1];
}

// Small, repeatable noise in [-1, 1] for a channel at a given second.
double noise(std::uint32_t seed, int channel, qint64 second)
{
    std::uint64_t x = (std::uint64_t(seed) << 32) ^ (std::uint64_t(channel) << 48) ^ std::uint64_t(second);
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return double(x % 20001) / 10000.0 - 1.0;
}

// Channel bases keep the eight rows apart; channel 8 runs below freezing.
constexpr double kMoistureBase[8] = {12.5, 8.0, 15.2, 3.4, 21.0, 5.5, 10.0, 18.3};

}  // namespace

UnitModel::UnitModel(const UnitOptions& options)
    : m_options(options),
      m_address(options.address),
      m_memory(defaultSettingsImage()),
      m_channels(options.channels),
      m_assembler(1024)
{
    if (!m_options.startTime.isValid())
        m_options.startTime = QDateTime::currentDateTime();
    if (options.activeMode)
        m_memory[layout::kCommonOffset] |= kActiveModeBit;
    syncRecordSchedule(0);
}

bool UnitModel::activeMode() const
{
    return (m_memory[layout::kCommonOffset] & kActiveModeBit) != 0;
}

QDateTime UnitModel::clock(qint64 nowMs) const
{
    return m_options.startTime.addMSecs(nowMs + m_clockOffsetMs);
}

QByteArray UnitModel::frame(std::uint8_t code, const QByteArray& data) const
{
    std::vector<std::uint8_t> raw(std::size_t(data.size()) + kFrameOverhead);
    const std::size_t count =
        composeFrame(raw.data(), raw.size(), m_address, code, reinterpret_cast<const std::uint8_t*>(data.constData()),
                     std::size_t(data.size()));
    return encodeFrame(raw.data(), count);
}

QByteArray UnitModel::memoryBytes(std::size_t offset, std::size_t length) const
{
    return QByteArray(reinterpret_cast<const char*>(m_memory.data() + offset), qsizetype(length));
}

void UnitModel::storeSlot(std::size_t offset, const QByteArray& block)
{
    // A block fills the start of its slot; the rest of the slot reads as erased memory.
    for (std::size_t i = 0; i < layout::kSlotSize; ++i)
        m_memory[offset + i] = i < std::size_t(block.size()) ? std::uint8_t(block[qsizetype(i)]) : 0xFF;
}

QByteArray UnitModel::signatureOf(std::size_t offset, std::size_t length) const
{
    QByteArray out;
    appendWord(out, ComputeSignature(m_memory.data() + offset, length));
    return out;
}

bool UnitModel::validTableCode(int code)
{
    return (code >= 1 && code <= 8) || (code >= 11 && code <= 18);
}

std::size_t UnitModel::tableOffset(int code)
{
    return code <= 8 ? layout::graduationTableOffset(code) : layout::extendedTableOffset(code);
}

QByteArray UnitModel::errorTableBlock(int channelIndex) const
{
    const std::size_t offset = layout::errorTableOffset(channelIndex);
    std::size_t rows = m_memory[offset];
    if (rows > layout::kErrorTableMaxRows)
        return QByteArray(1, char(0));
    return memoryBytes(offset, 1 + 3 * rows);
}

std::uint8_t UnitModel::sensorAddress(int channelIndex) const
{
    const std::uint8_t stored = m_memory[layout::channelConstantsOffset(channelIndex + 1)];
    return stored != 0 ? stored : std::uint8_t(channelIndex + 1);
}

QByteArray UnitModel::measurementRecord(int channelIndex, qint64 nowMs) const
{
    const ChannelMode mode = m_channels[std::size_t(channelIndex)];
    if (mode == ChannelMode::Silent)
        return {};
    const std::uint8_t sensor = sensorAddress(channelIndex);
    if (mode != ChannelMode::Measuring) {
        const int type = mode == ChannelMode::InProgress ? 1 : mode == ChannelMode::NoSignal ? 2 : 4;
        return bytesOf({sensor, type, channelIndex});
    }

    const double t = double(nowMs) / 1000.0;
    const qint64 second = nowMs / 1000;
    const double phase = channelIndex * 0.7;
    const double moisture =
        std::max(0.0, kMoistureBase[channelIndex] + 0.8 * std::sin(2 * std::numbers::pi * t / 240 + phase) +
                          0.03 * noise(m_options.seed, channelIndex, second));
    const double density = 820 + 15 * channelIndex + 3 * std::sin(2 * std::numbers::pi * t / 600 + phase);
    const double t1 = (channelIndex == 7 ? -9.5 : 18 + 1.5 * channelIndex) +
                      2 * std::sin(2 * std::numbers::pi * t / 900 + phase) + 0.05 * noise(m_options.seed, 8, second);
    const double t2 = t1 - 0.8;
    const int period = int(2500 + 40 * channelIndex + 30 * std::sin(2 * std::numbers::pi * t / 120 + phase));
    const std::size_t constants = layout::channelConstantsOffset(channelIndex + 1);
    const double cm = wordAt(m_memory, constants + 11) * 0.1;
    const double cs1 = cm + 0.45 * moisture;
    const double cs2 = cs1 + 12.3;

    std::uint8_t alarms = 0;
    const int setpointMin = wordAt(m_memory, constants + 29);
    const int setpointMax = wordAt(m_memory, constants + 31);
    const int setpointAlarm = wordAt(m_memory, constants + 33);
    if (moisture < setpointMin)
        alarms |= 0x08;
    if (moisture > setpointMax)
        alarms |= 0x10;
    if (moisture > setpointAlarm)
        alarms |= 0x20;

    const bool stamped = (m_memory[layout::kCommonOffset] & kCalendarBit) != 0;
    QByteArray record(stamped ? 66 : 60, char(0));
    record[0] = char(sensor);
    record[1] = 0;
    record[2] = char(channelIndex);
    record[5] = char(alarms);
    putWord(record, 12, int(std::lround(moisture * 100)));
    putWord(record, 22, int(std::lround(density * 10)));
    putWord(record, 40, int(std::lround(t2 * 10)) & 0xFFFF);
    putWord(record, 42, int(std::lround(t1 * 10)) & 0xFFFF);
    putWord(record, 44, period);
    putWord(record, 50, int(std::lround(cs1 * 10)));
    putWord(record, 52, int(std::lround(cs2 * 10)));
    if (stamped) {
        const QDateTime now = clock(nowMs);
        record[60] = char(now.time().second());
        record[61] = char(now.time().minute());
        record[62] = char(now.time().hour());
        record[63] = char(now.date().day());
        record[64] = char(now.date().month());
        record[65] = char(now.date().year() - 2000);
    }
    return record;
}

std::vector<Emission> UnitModel::receive(const QByteArray& bytes, qint64 nowMs)
{
    std::vector<Emission> out;
    for (const char c : bytes) {
        const auto byte = std::uint8_t(c);
        if (m_bootloader != Bootloader::Off) {
            // The bootloader speaks single bytes, not frames.
            if (byte == 'E') {
                m_bootloader = Bootloader::Off;
                m_assembler.reset();
            } else if (byte == 0x40 && m_bootloader == Bootloader::Waiting) {
                m_bootloader = Bootloader::Programming;
            }
            continue;
        }
        if (m_assembler.feed(byte) == FrameAssembler::Result::Complete) {
            std::vector<Emission> replies = handleFrame(m_assembler.frame(), nowMs);
            out.insert(out.end(), replies.begin(), replies.end());
        }
    }
    syncRecordSchedule(nowMs);
    return out;
}

std::vector<Emission> UnitModel::handleFrame(const QByteArray& chars, qint64 nowMs)
{
    std::vector<std::uint8_t> buffer(chars.begin(), chars.end());
    int length = 0;
    if (!decodeReplyFrame(buffer.data(), buffer.size(), length) || length < 3)
        return {};
    // A unit on a shared bus answers only its own address.
    if (buffer[0] != m_address)
        return {};
    const QByteArray data(reinterpret_cast<const char*>(buffer.data() + 2), length - 3);
    return handleRequest(buffer[1], data, nowMs);
}

std::vector<Emission> UnitModel::handleRequest(std::uint8_t code, const QByteArray& data, qint64 nowMs)
{
    const auto byteAt = [&](int i) { return std::uint8_t(data[i]); };
    const auto reply = [&](const QByteArray& payload = {}) {
        return std::vector<Emission>{{frame(code, payload), true}};
    };
    switch (code) {
    case 50:
        return reply(QByteArray(1, char(m_pollMask)));
    case 51:
        if (data.size() != 1)
            return {};
        m_pollMask = byteAt(0);
        return reply(data);
    case 52: {
        if (data.size() != 1 || byteAt(0) > 7)
            return {};
        const QByteArray record = measurementRecord(byteAt(0), nowMs);
        if (record.isEmpty())
            return {};
        return reply(record);
    }
    case 53:
        if (data.size() != 1 + int(layout::kChannelConstantsSize) || byteAt(0) > 7)
            return {{channelConstantsErrorFrame(32, int(data.size())), true}};
        storeSlot(layout::channelConstantsOffset(byteAt(0) + 1), data.mid(1));
        return reply(data.left(1));
    case 54:
        if (data.size() != 1 || byteAt(0) > 7)
            return {};
        return reply(data.left(1) +
                     memoryBytes(layout::channelConstantsOffset(byteAt(0) + 1), layout::kChannelConstantsSize));
    case 55:
        if (data.size() != 1 || byteAt(0) > 7)
            return {};
        return reply(data.left(1) +
                     signatureOf(layout::channelConstantsOffset(byteAt(0) + 1), layout::kChannelConstantsSize));
    case 59: {
        if (data.size() != 130 || !validTableCode(byteAt(0)) || byteAt(1) < 1 || byteAt(1) > 11)
            return {};
        const std::size_t offset = tableOffset(byteAt(0)) + 128 * std::size_t(byteAt(1) - 1);
        for (int i = 0; i < 128; ++i)
            m_memory[offset + std::size_t(i)] = byteAt(2 + i);
        return reply(data.left(2));
    }
    case 60:
        if (data.size() != 2 || !validTableCode(byteAt(0)) || byteAt(1) < 1 || byteAt(1) > 11)
            return {};
        return reply(data.left(2) + memoryBytes(tableOffset(byteAt(0)) + 128 * std::size_t(byteAt(1) - 1), 128));
    case 61:
        if (data.size() != 1 || !validTableCode(byteAt(0)))
            return {};
        return reply(data.left(1) + signatureOf(tableOffset(byteAt(0)), layout::kTableSize));
    case 62: {
        if (data.size() < 2 || byteAt(0) > 7)
            return {{errorTableWriteErrorFrame(), true}};
        const int rows = byteAt(1);
        if (rows > int(layout::kErrorTableMaxRows) || data.size() != 2 + 3 * rows)
            return {{errorTableWriteErrorFrame(), true}};
        storeSlot(layout::errorTableOffset(byteAt(0)), data.mid(1));
        return reply(data.left(1));
    }
    case 63:
        if (data.size() != 1 || byteAt(0) > 7)
            return {};
        return reply(data.left(1) + errorTableBlock(byteAt(0)));
    case 64: {
        if (data.size() != 1 || byteAt(0) > 7)
            return {};
        const QByteArray block = errorTableBlock(byteAt(0));
        QByteArray signature;
        appendWord(signature, ComputeSignature(reinterpret_cast<const std::uint8_t*>(block.constData()),
                                               std::size_t(block.size())));
        return reply(data.left(1) + signature);
    }
    case 65:
        if (data.size() != int(layout::kCommonSize))
            return {};
        storeSlot(layout::kCommonOffset, data);
        return reply();
    case 66:
        return reply(memoryBytes(layout::kCommonOffset, layout::kCommonSize));
    case 67:
        return reply(signatureOf(layout::kCommonOffset, layout::kCommonSize));
    case 68:
        if (data.size() != int(layout::kRelaySize))
            return {};
        storeSlot(layout::kRelayOffset, data);
        return reply();
    case 69:
        return reply(memoryBytes(layout::kRelayOffset, layout::kRelaySize));
    case 70:
        return reply(signatureOf(layout::kRelayOffset, layout::kRelaySize));
    case 71:
        m_bootloader = Bootloader::Waiting;
        m_nextBootloaderCallMs = nowMs + kBootloaderCallMs / 2;
        return reply();
    case 72:
        m_assembler.reset();
        return reply();
    case 77: {
        if (data.size() < 6)
            return {};
        const QDate date(2000 + byteAt(5), byteAt(4), byteAt(3));
        const QTime time(byteAt(2), byteAt(1), byteAt(0));
        if (date.isValid() && time.isValid())
            m_clockOffsetMs = m_options.startTime.msecsTo(QDateTime(date, time)) - nowMs;
        return reply();
    }
    case 78: {
        const QDateTime now = clock(nowMs);
        return reply(bytesOf({now.time().second(), now.time().minute(), now.time().hour(), now.date().day(),
                              now.date().month(), now.date().year() - 2000}));
    }
    case 79:
        m_searchStep = 1;
        m_nextSearchMs = nowMs + kSearchStepMs;
        return reply(QByteArray(1, char(kSearchSteps[0])));
    case 81: {
        // Firmware date, version, the 19-character identifier, then a few bytes the PC does not use.
        QByteArray info = bytesOf({5, 3, 26, 7});
        info += QByteArrayLiteral("TVM-KV7-SIM-026-001");
        info += bytesOf({0, 1, 0, 0});
        return reply(info);
    }
    case 82:
        if (data.size() != 1)
            return {};
        m_address = byteAt(0);
        return reply(data);
    case 86: {
        if (data.size() != 129)
            return {};
        const std::size_t chunk = byteAt(0);
        if (chunk < layout::kChunkCount) {
            for (std::size_t i = 0; i < layout::kChunkSize; ++i)
                m_memory[chunk * layout::kChunkSize + i] = byteAt(1 + int(i));
        }
        return reply(data.left(1));
    }
    case 87: {
        if (data.size() != 1)
            return {};
        const std::size_t chunk = byteAt(0);
        const QByteArray bytes = chunk < layout::kChunkCount
                                     ? memoryBytes(chunk * layout::kChunkSize, layout::kChunkSize)
                                     : QByteArray(int(layout::kChunkSize), char(0xFF));
        return reply(data.left(1) + bytes);
    }
    case 88:
        return reply(signatureOf(0, layout::kImageSize));
    default:
        return {};
    }
}

std::vector<Emission> UnitModel::advance(qint64 nowMs)
{
    std::vector<Emission> out;
    if (m_bootloader == Bootloader::Waiting) {
        while (m_nextBootloaderCallMs >= 0 && m_nextBootloaderCallMs <= nowMs) {
            out.push_back({QByteArray(1, 'Y'), false});
            m_nextBootloaderCallMs += kBootloaderCallMs;
        }
    }
    while (m_searchStep >= 0 && m_nextSearchMs <= nowMs) {
        const int percent = kSearchSteps[m_searchStep];
        QByteArray data(1, char(percent));
        if (percent == 100) {
            QByteArray sensors;
            int count = 0;
            for (int channel = 0; channel < 8; ++channel) {
                const ChannelMode mode = m_channels[std::size_t(channel)];
                if (mode == ChannelMode::NotConnected || mode == ChannelMode::Silent)
                    continue;
                sensors += bytesOf({sensorAddress(channel), 2, 1 << (channel % 4)});
                ++count;
            }
            data += char(count);
            data += sensors;
            m_searchStep = -1;
        } else {
            ++m_searchStep;
            m_nextSearchMs += kSearchStepMs;
        }
        out.push_back({frame(79, data), true});
    }
    syncRecordSchedule(nowMs);
    if (m_recordsRunning) {
        while (m_nextRecordsMs <= nowMs) {
            for (int channel = 0; channel < 8; ++channel) {
                if (!(m_pollMask & (1 << channel)))
                    continue;
                const QByteArray record = measurementRecord(channel, m_nextRecordsMs);
                if (!record.isEmpty())
                    out.push_back({frame(52, record), false});
            }
            m_nextRecordsMs += 1000;
        }
    }
    return out;
}

void UnitModel::syncRecordSchedule(qint64 nowMs)
{
    const bool running = m_bootloader == Bootloader::Off && activeMode();
    // Records start on the next whole second, never as a burst for the time they were off.
    if (running && !m_recordsRunning)
        m_nextRecordsMs = (nowMs / 1000 + 1) * 1000;
    m_recordsRunning = running;
}

qint64 UnitModel::nextDueMs() const
{
    qint64 next = -1;
    const auto consider = [&next](qint64 due) {
        if (due >= 0 && (next < 0 || due < next))
            next = due;
    };
    if (m_bootloader == Bootloader::Waiting)
        consider(m_nextBootloaderCallMs);
    if (m_searchStep >= 0)
        consider(m_nextSearchMs);
    if (m_recordsRunning)
        consider(m_nextRecordsMs);
    return next;
}

QByteArray UnitModel::commandDoneFrame() const
{
    return frame(76);
}

QByteArray UnitModel::newCd2Frame(int channelIndex, int cd2Tenths) const
{
    QByteArray data(1, char(channelIndex));
    appendWord(data, cd2Tenths);
    return frame(98, data);
}

QByteArray UnitModel::cd2ErrorFrame(int channelIndex, int code) const
{
    return frame(226, bytesOf({channelIndex, code}));
}

QByteArray UnitModel::channelConstantsErrorFrame(int kind, int code) const
{
    return frame(181, bytesOf({kind, code}));
}

QByteArray UnitModel::errorTableWriteErrorFrame() const
{
    return frame(190);
}

}  // namespace kv7m::sim
