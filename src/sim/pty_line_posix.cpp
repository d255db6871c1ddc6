// Platform file (POSIX): pseudo-terminal of the simulated unit.
#include "sim/pty_line_posix.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace kv7m::sim {

namespace {

// Output waiting for a reader beyond this is dropped.
constexpr qsizetype kMaxPending = 4096;

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

PtyLine::PtyLine(QObject* parent) : QObject(parent) {}

PtyLine::~PtyLine()
{
    close();
}

bool PtyLine::open(QString* error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = systemError("posix_openpt");
        close();
        return false;
    }
    const char* name = ptsname(m_master);
    if (!name) {
        *error = systemError("ptsname");
        close();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        *error = systemError("open slave");
        close();
        return false;
    }
    // A serial line passes bytes as they are: no echo, no line editing, no CR/LF translation.
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLine::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLine::flush);
    return true;
}

bool PtyLine::makeLink(const QString& linkPath, QString* error)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        QFile::remove(linkPath);
    } else if (existing.exists()) {
        *error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (::symlink(m_devicePath.toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0) {
        *error = systemError("symlink");
        return false;
    }
    m_linkPath = linkPath;
    return true;
}

void PtyLine::close()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    // Only our own link goes: another simulator may have taken the name over since.
    if (!m_linkPath.isEmpty()) {
        const QFileInfo link(m_linkPath);
        if (link.isSymLink() && link.symLinkTarget() == m_devicePath)
            QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
    m_pending.clear();
}

void PtyLine::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, qsizetype(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
}

void PtyLine::write(const QByteArray& bytes)
{
    if (m_master < 0)
        return;
    if (m_pending.size() + bytes.size() > kMaxPending)
        return;
    m_pending += bytes;
    flush();
}

void PtyLine::flush()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // The terminal's queue is full: nobody reads the line, and what it cannot take is lost,
        // never delivered late as a burst of stale records.
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            m_pending.clear();
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

}  // namespace kv7m::sim
