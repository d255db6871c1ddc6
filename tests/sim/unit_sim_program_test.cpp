// kv7m-unit-sim as a user runs it: prints its device, answers on it, leaves cleanly.
#include "link/qt_serial_port.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kv7m;

namespace {

QByteArray exchange(SerialPort& port, const QByteArray& request)
{
    port.write(request);
    QByteArray received;
    const bool complete = QTest::qWaitFor(
        [&] {
            received += port.read(-1);
            return received.endsWith("\r\n");
        },
        5000);
    return complete ? received : QByteArray("(no reply) ") + received;
}

TEST(UnitSimProgram, ServesItsAddressOnTheLinkAndStopsCleanly)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("unit"));
    QProcess sim;
    sim.start(QStringLiteral(KV7M_UNIT_SIM_PATH),
              {QStringLiteral("--address"), QStringLiteral("7"), QStringLiteral("--link"), link});
    ASSERT_TRUE(sim.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.canReadLine() && QFileInfo::exists(link); }, 5000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    EXPECT_TRUE(device.startsWith(QStringLiteral("/dev/"))) << device.toStdString();

    QtSerialPort port;
    ASSERT_TRUE(port.open(link, QStringLiteral("19200")));
    // Unit 7 answers its status request with all channels polled.
    EXPECT_EQ(exchange(port, ":0732C7\r\n"), QByteArray(":0732FFC8\r\n"));
    port.close();

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(link)) << "the link is removed on exit";
}

TEST(UnitSimProgram, RefusesBadOptions)
{
    QProcess sim;
    sim.start(QStringLiteral(KV7M_UNIT_SIM_PATH), {QStringLiteral("--channel"), QStringLiteral("9=silent")});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_TRUE(sim.readAllStandardError().contains("--channel"));
}

}  // namespace
