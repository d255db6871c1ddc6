#include "link/port_names.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

namespace kv7m {

QStringList standardPortNames()
{
    QStringList names;
    for (int i = 1; i <= 15; ++i)
        names << QStringLiteral("COM%1").arg(i);
    return names;
}

QString devicePathForPortName(const QString& portName)
{
#ifdef Q_OS_WIN
    return portName;
#else
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(portName);
    if (match.hasMatch()) {
#ifdef Q_OS_MACOS
        return portName;
#else
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
#endif
    }
    return portName;
#endif
}

QList<SystemPort> systemSerialPorts()
{
    QList<SystemPort> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
#ifdef Q_OS_WIN
        const QString name = info.portName();
#else
        const QString name = info.systemLocation();
#endif
        QString description = info.description();
        if (!info.manufacturer().isEmpty() && !description.contains(info.manufacturer()))
            description = description.isEmpty()
                              ? info.manufacturer()
                              : description + QStringLiteral(" (") + info.manufacturer() + QLatin1Char(')');
        ports.append({name, description});
    }
    return ports;
}

}  // namespace kv7m
