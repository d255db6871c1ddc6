#pragma once

#include "link/frame_sender.h"

namespace kv7m::test {

// The main window's part of sending: an address text, the bootloader flag, the TX indicator.
struct FakeSenderHost : SenderHost {
    QString address = QStringLiteral("1");
    bool bootloader = false;
    int transmitFlashes = 0;
    QString currentAddressText() const override { return address; }
    bool isBootloaderMode() const override { return bootloader; }
    void leaveBootloaderMode() override { bootloader = false; }
    void transmitIndicatorOn() override { ++transmitFlashes; }
};

}  // namespace kv7m::test
