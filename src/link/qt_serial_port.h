#pragma once

#include "link/serial_port.h"

class QSerialPort;

namespace kv7m {

// The real serial line, through Qt Serial Port.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool open(const QString& portName, const QString& baudText) override;
    void close() override;
    bool isOpen() const override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray read(qint64 maxBytes) override;
    qint64 bytesAvailable() const override;
    void purge() override;

private:
    QSerialPort* m_port;
};

}  // namespace kv7m
