#pragma once

#include "link/receive_pipeline.h"

#include <QList>

namespace kv7m::test {

// The main window's part of receiving, recorded.
struct FakeReceiveHost : ReceiveHost {
    bool bootloader = false;
    bool detection = true;
    int programmerStarts = 0;
    QList<int> detectedAddresses;
    int receiveFlashes = 0;
    QByteArray monitoredBytes;
    QList<QByteArray> monitoredFrames;

    bool isBootloaderMode() const override { return bootloader; }
    void setBootloaderMode(bool on) override { bootloader = on; }
    void startProgrammer() override { ++programmerStarts; }
    bool isAddressDetectionOn() const override { return detection; }
    void unitAddressDetected(int address) override { detectedAddresses.append(address); }
    void receiveIndicatorOn() override { ++receiveFlashes; }
    void monitorByte(std::uint8_t byte) override { monitoredBytes.append(char(byte)); }
    void monitorFrame(const QByteArray& frameText) override { monitoredFrames.append(frameText); }
};

}  // namespace kv7m::test
