#pragma once

// Platform file (POSIX): a pseudo-terminal that stands in for a serial line.

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kv7m::sim {

// The unit's end of a pseudo-terminal. The program opens the other end, `devicePath()`, as its
// serial port. Output nobody reads is dropped beyond a bound, as on a line nobody listens to.
class PtyLine : public QObject {
    Q_OBJECT
public:
    explicit PtyLine(QObject* parent = nullptr);
    ~PtyLine() override;

    bool open(QString* error);
    QString devicePath() const { return m_devicePath; }
    // A stable name for the device: a symbolic link at `linkPath` (an existing link is replaced,
    // anything else there is left alone). Removed again when the line closes.
    bool makeLink(const QString& linkPath, QString* error);
    void close();

    void write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);

private:
    void readMaster();
    void flush();

    int m_master = -1;
    // Held open so the master never sees a hang-up while the program has the port closed.
    int m_slave = -1;
    QString m_devicePath;
    QString m_linkPath;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_pending;
};

}  // namespace kv7m::sim
