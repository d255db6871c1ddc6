#pragma once

#include "link/serial_port.h"

#include <QSet>

namespace kv7m::test {

// A serial line in memory: opens any name not marked missing, keeps what is written and delivers
// what a test injects.
class MemorySerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    bool open(const QString& portName, const QString& baudText) override
    {
        m_open = false;
        ++openCount;
        if (portName.isEmpty() || missing.contains(portName))
            return false;
        openedName = portName;
        openedBaud = baudText;
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    qint64 write(const QByteArray& bytes) override
    {
        if (!m_open)
            return -1;
        writes.append(bytes);
        written += bytes;
        return bytes.size();
    }
    QByteArray read(qint64 maxBytes) override
    {
        const qsizetype n = maxBytes < 0 ? m_incoming.size() : qMin<qsizetype>(maxBytes, m_incoming.size());
        const QByteArray out = m_incoming.left(n);
        m_incoming.remove(0, n);
        return out;
    }
    qint64 bytesAvailable() const override { return m_incoming.size(); }
    void purge() override { m_incoming.clear(); }

    void inject(const QByteArray& bytes)
    {
        m_incoming += bytes;
        emit bytesArrived();
    }
    // Bytes that arrive without a signal, as while the port's own signal is still being handled.
    void deliverQuietly(const QByteArray& bytes) { m_incoming += bytes; }

    QSet<QString> missing;
    QString openedName;
    QString openedBaud;
    int openCount = 0;
    QByteArray written;
    QList<QByteArray> writes;

private:
    bool m_open = false;
    QByteArray m_incoming;
};

}  // namespace kv7m::test
