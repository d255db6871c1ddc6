#pragma once

#include "link/serial_port.h"

namespace kv7m::sim {

class SimulatedUnit;

// The program's serial port wired straight to a simulated unit in the same process.
class SimulatedSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit SimulatedSerialPort(SimulatedUnit& unit, QObject* parent = nullptr);

    bool open(const QString& portName, const QString& baudText) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    qint64 write(const QByteArray& bytes) override;
    QByteArray read(qint64 maxBytes = -1) override;
    qint64 bytesAvailable() const override { return m_incoming.size(); }
    void purge() override { m_incoming.clear(); }

signals:
    // What the program wrote to the unit, for whoever watches the line.
    void sentToUnit(const QByteArray& bytes);

private:
    SimulatedUnit& m_unit;
    bool m_open = false;
    QByteArray m_incoming;
};

}  // namespace kv7m::sim
