#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kv7m {

// The fixed port names the port box always offers.
QStringList standardPortNames();

// Device that a port name stands for on this system. "COMn" is the n-th serial device where COM
// names do not exist (/dev/ttyS(n-1) on Linux); any other text is used as a device path as it is.
QString devicePathForPortName(const QString& portName);

struct SystemPort {
    QString name;
    QString description;
};

// The serial ports the system reports, in the form the port box shows them.
QList<SystemPort> systemSerialPorts();

}  // namespace kv7m
