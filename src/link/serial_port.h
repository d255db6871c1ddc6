#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace kv7m {

// The one serial line of the program: 8 data bits, no parity, 1 stop bit at a chosen baud rate.
// The real line and the test doubles both sit behind this.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the named device exclusively (closing any open one first); false when it cannot.
    // A baud text the system does not accept leaves the device at its current rate.
    virtual bool open(const QString& portName, const QString& baudText) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Bytes accepted for sending, or -1 (nothing is written while the port is closed).
    virtual qint64 write(const QByteArray& bytes) = 0;
    // Takes up to `maxBytes` of what has arrived (all of it when negative).
    virtual QByteArray read(qint64 maxBytes = -1) = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Drops whatever waits to be sent or to be read.
    virtual void purge() = 0;

signals:
    void bytesArrived();
};

}  // namespace kv7m
