#include "link/port_names.h"

#include <gtest/gtest.h>

using namespace kv7m;

TEST(PortNames, PortBoxOffersCom1ToCom15)
{
    const QStringList names = standardPortNames();
    ASSERT_EQ(names.size(), 15);
    EXPECT_EQ(names.first(), QStringLiteral("COM1"));
    EXPECT_EQ(names.last(), QStringLiteral("COM15"));
}

TEST(PortNames, ComNamesMapToSystemDevices)
{
    struct Case {
        const char* name;
        const char* device;
    };
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    const Case cases[] = {{"COM1", "COM1"}, {"COM15", "COM15"}};
#else
    const Case cases[] = {
        {"COM1", "/dev/ttyS0"}, {"COM3", "/dev/ttyS2"},           {"com15", "/dev/ttyS14"},
        {"COM0", "COM0"},       {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"/tmp/kv7m-unit", "/tmp/kv7m-unit"},
        {"COM3x", "COM3x"}};
#endif
    for (const Case& c : cases)
        EXPECT_EQ(devicePathForPortName(QString::fromLatin1(c.name)), QString::fromLatin1(c.device)) << c.name;
}
