#include "sim/simulated_serial_port.h"

#include "sim/simulated_unit.h"

namespace kv7m::sim {

SimulatedSerialPort::SimulatedSerialPort(SimulatedUnit& unit, QObject* parent) : SerialPort(parent), m_unit(unit)
{
    connect(&m_unit, &SimulatedUnit::transmit, this, [this](const QByteArray& bytes) {
        if (!m_open)
            return;
        m_incoming += bytes;
        emit bytesArrived();
    });
}

bool SimulatedSerialPort::open(const QString& portName, const QString&)
{
    m_open = !portName.trimmed().isEmpty();
    m_incoming.clear();
    return m_open;
}

void SimulatedSerialPort::close()
{
    m_open = false;
    m_incoming.clear();
}

qint64 SimulatedSerialPort::write(const QByteArray& bytes)
{
    if (!m_open)
        return -1;
    emit sentToUnit(bytes);
    m_unit.receiveFromLine(bytes);
    return bytes.size();
}

QByteArray SimulatedSerialPort::read(qint64 maxBytes)
{
    const qsizetype n = maxBytes < 0 ? m_incoming.size() : std::min<qsizetype>(maxBytes, m_incoming.size());
    QByteArray out = m_incoming.left(n);
    m_incoming.remove(0, n);
    return out;
}

}  // namespace kv7m::sim
