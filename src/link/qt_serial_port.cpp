#include "link/qt_serial_port.h"

#include "link/port_names.h"

#include <QSerialPort>

namespace kv7m {

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &SerialPort::bytesArrived);
}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::open(const QString& portName, const QString& baudText)
{
    if (m_port->isOpen())
        m_port->close();
    if (portName.trimmed().isEmpty())
        return false;
    m_port->setPortName(devicePathForPortName(portName));
    if (!m_port->open(QIODevice::ReadWrite))
        return false;
    // Settings failures are not reported: the line stays as the system left it.
    bool ok = false;
    const int baud = baudText.trimmed().toInt(&ok);
    if (ok && baud > 0)
        m_port->setBaudRate(baud);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->clear();
    return true;
}

void QtSerialPort::close()
{
    if (m_port->isOpen())
        m_port->close();
}

bool QtSerialPort::isOpen() const
{
    return m_port->isOpen();
}

qint64 QtSerialPort::write(const QByteArray& bytes)
{
    if (!m_port->isOpen())
        return -1;
    return m_port->write(bytes);
}

QByteArray QtSerialPort::read(qint64 maxBytes)
{
    if (!m_port->isOpen())
        return {};
    return maxBytes < 0 ? m_port->readAll() : m_port->read(maxBytes);
}

qint64 QtSerialPort::bytesAvailable() const
{
    return m_port->isOpen() ? m_port->bytesAvailable() : 0;
}

void QtSerialPort::purge()
{
    if (m_port->isOpen())
        m_port->clear();
}

}  // namespace kv7m
