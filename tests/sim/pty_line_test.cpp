// Through a real pseudo-terminal and Qt Serial Port, as the program and kv7m-unit-sim meet.
#include "link/qt_serial_port.h"
#include "sim/pty_line_posix.h"
#include "sim/simulated_unit.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kv7m;

TEST(PtyLine, ProgramPortTalksToTheUnitThroughAPseudoTerminal)
{
    sim::SimulatedUnit unit(sim::UnitOptions{});
    sim::PtyLine line;
    QString error;
    ASSERT_TRUE(line.open(&error)) << error.toStdString();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("kv7m-unit"));
    ASSERT_TRUE(line.makeLink(link, &error)) << error.toStdString();
    QObject::connect(&line, &sim::PtyLine::received, &unit, &sim::SimulatedUnit::receiveFromLine);
    QObject::connect(&unit, &sim::SimulatedUnit::transmit, &line, &sim::PtyLine::write);

    QtSerialPort port;
    ASSERT_TRUE(port.open(link, QStringLiteral("19200")));
    port.write(":0132CD\r\n");
    QByteArray received;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            received += port.read(-1);
            return received.endsWith("\r\n");
        },
        5000));
    EXPECT_EQ(received, QByteArray(":0132FFCE\r\n"));

    port.close();
    line.close();
    EXPECT_FALSE(QFileInfo::exists(link)) << "the link goes with the line";
}
