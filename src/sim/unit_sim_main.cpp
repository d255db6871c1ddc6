// Platform file (POSIX): the simulated unit behind a pseudo-terminal, as a program.
#include "sim/pty_line_posix.h"
#include "sim/simulated_unit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kv7m::sim;

namespace {

// Written by the signal handler, read by the event loop: the one way a handler may talk to Qt.
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

bool parseMode(const QString& text, ChannelMode& mode)
{
    static const std::pair<const char*, ChannelMode> modes[] = {{"measure", ChannelMode::Measuring},
                                                                {"busy", ChannelMode::InProgress},
                                                                {"no-signal", ChannelMode::NoSignal},
                                                                {"not-connected", ChannelMode::NotConnected},
                                                                {"silent", ChannelMode::Silent}};
    for (const auto& [name, value] : modes) {
        if (text == QLatin1String(name)) {
            mode = value;
            return true;
        }
    }
    return false;
}

bool parseInts(const QStringList& texts, QSet<int>& out)
{
    for (const QString& text : texts) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < 1)
            return false;
        out.insert(value);
    }
    return true;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "kv7m-unit-sim: %s\n", qPrintable(message));
    return 2;
}

// Lines on standard input put extra frames on the line.
void runCommand(SimulatedUnit& unit, const QString& line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    const auto arg = [&words](int i, int fallback) { return words.size() > i ? words[i].toInt() : fallback; };
    const UnitModel& model = unit.model();
    const QString code = words[0];
    if (code == QLatin1String("76"))
        unit.sendFrame(model.commandDoneFrame());
    else if (code == QLatin1String("98"))
        unit.sendFrame(model.newCd2Frame(arg(1, 0), arg(2, 1234)));
    else if (code == QLatin1String("226"))
        unit.sendFrame(model.cd2ErrorFrame(arg(1, 0), arg(2, 1)));
    else if (code == QLatin1String("181"))
        unit.sendFrame(model.channelConstantsErrorFrame(arg(1, 32), arg(2, 5)));
    else if (code == QLatin1String("190"))
        unit.sendFrame(model.errorTableWriteErrorFrame());
    else if (code == QLatin1String("quit"))
        QCoreApplication::quit();
    else
        std::fprintf(stderr,
                     "kv7m-unit-sim: unknown command '%s' (76, 98 ch cd2, 226 ch code, 181 kind code, 190, quit)\n",
                     qPrintable(code));
}

}  // namespace

int main(int argc, char* argv[])
{
    // Standard descriptors that are closed would be handed out to the terminal, and the command
    // reader would then take the line's bytes.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0)
            ::open("/dev/null", O_RDWR);
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kv7m-unit-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A КВ7М processing unit (ТВМ) in software, behind a pseudo-terminal.\n"
                       "Prints the device path; the configurator opens it as its serial port.\n"
                       "Lines on standard input send extra frames: 76 | 98 CH CD2 | 226 CH CODE | "
                       "181 KIND CODE | 190 | quit."));
    parser.addHelpOption();
    const QCommandLineOption address(QStringLiteral("address"), QStringLiteral("Bus address of the unit (default 1)."),
                                     QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption active(QStringLiteral("active"),
                                    QStringLiteral("Active mode: send a measurement record a second per channel."));
    const QCommandLineOption calendar(QStringLiteral("calendar"),
                                      QStringLiteral("Records carry the unit's time stamp (66 data bytes)."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the measurement noise."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Make a symbolic link to the device at this path."),
                                  QStringLiteral("path"));
    const QCommandLineOption channel(
        QStringLiteral("channel"),
        QStringLiteral("Mode of a channel 1..8: measure, busy, no-signal, not-connected or silent (repeatable)."),
        QStringLiteral("n=mode"));
    const QCommandLineOption baud(
        QStringLiteral("baud"), QStringLiteral("Pace the line at this baud rate, 10 bits a character (0: no pacing)."),
        QStringLiteral("rate"), QStringLiteral("0"));
    const QCommandLineOption drop(QStringLiteral("drop-reply"),
                                  QStringLiteral("Never send the n-th reply (repeatable)."), QStringLiteral("n"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-lrc"),
                                     QStringLiteral("Spoil the LRC of the n-th reply (repeatable)."),
                                     QStringLiteral("n"));
    const QCommandLineOption delay(QStringLiteral("reply-delay"), QStringLiteral("Answer this many ms late."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Send output in pieces of n bytes with a pause of ms between them."),
                                   QStringLiteral("n:ms"));
    const QCommandLineOption noise(QStringLiteral("noise"), QStringLiteral("Put junk characters between frames."));
    const QCommandLineOption trace(QStringLiteral("trace"), QStringLiteral("Print the bytes of both directions."));
    parser.addOptions(
        {address, active, calendar, seed, link, channel, baud, drop, corrupt, delay, split, noise, trace});
    parser.process(app);

    UnitOptions options;
    bool ok = false;
    const int addressValue = parser.value(address).toInt(&ok);
    if (!ok || addressValue < 0 || addressValue > 255)
        return fail(QStringLiteral("--address takes 0..255"));
    options.address = std::uint8_t(addressValue);
    options.activeMode = parser.isSet(active);
    options.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        return fail(QStringLiteral("--seed takes a whole number"));
    for (const QString& spec : parser.values(channel)) {
        const QStringList parts = spec.split(QLatin1Char('='));
        const int n = parts.value(0).toInt(&ok);
        ChannelMode mode{};
        if (parts.size() != 2 || !ok || n < 1 || n > 8 || !parseMode(parts[1], mode))
            return fail(
                QStringLiteral("--channel takes n=mode, n 1..8, mode measure|busy|no-signal|not-connected|silent"));
        options.channels[std::size_t(n - 1)] = mode;
    }

    LineFaults faults;
    faults.baud = parser.value(baud).toInt(&ok);
    if (!ok || faults.baud < 0)
        return fail(QStringLiteral("--baud takes a rate"));
    if (!parseInts(parser.values(drop), faults.dropReplies) ||
        !parseInts(parser.values(corrupt), faults.corruptLrcReplies))
        return fail(QStringLiteral("--drop-reply and --corrupt-lrc take reply numbers from 1"));
    faults.replyDelayMs = parser.value(delay).toInt(&ok);
    if (!ok || faults.replyDelayMs < 0)
        return fail(QStringLiteral("--reply-delay takes milliseconds"));
    if (parser.isSet(split)) {
        const QStringList parts = parser.value(split).split(QLatin1Char(':'));
        bool okPause = true;
        faults.splitBytes = parts.value(0).toInt(&ok);
        faults.splitPauseMs = parts.size() > 1 ? parts[1].toInt(&okPause) : 0;
        if (!ok || !okPause || faults.splitBytes < 1 || faults.splitPauseMs < 0)
            return fail(QStringLiteral("--split takes n:ms"));
    }
    faults.noise = parser.isSet(noise);

    SimulatedUnit unit(options, faults);
    if (parser.isSet(calendar))
        unit.model().memory()[kv7m::layout::kCommonOffset] |= 0x04;

    PtyLine line;
    QString error;
    if (!line.open(&error))
        return fail(error);
    if (parser.isSet(link) && !line.makeLink(parser.value(link), &error))
        return fail(error);

    const bool tracing = parser.isSet(trace);
    QObject::connect(&line, &PtyLine::received, &unit, [&unit, tracing](const QByteArray& bytes) {
        if (tracing)
            std::fprintf(stderr, "PC -> %s\n", bytes.toPercentEncoding(":").constData());
        unit.receiveFromLine(bytes);
    });
    QObject::connect(&unit, &SimulatedUnit::transmit, &line, [&line, tracing](const QByteArray& bytes) {
        if (tracing)
            std::fprintf(stderr, "unit -> %s\n", bytes.toPercentEncoding(":").constData());
        line.write(bytes);
    });

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return fail(QStringLiteral("socketpair failed"));
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray typed;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        typed.append(buffer, qsizetype(n));
        qsizetype end;
        while ((end = typed.indexOf('\n')) >= 0) {
            runCommand(unit, QString::fromLocal8Bit(typed.left(end)));
            typed.remove(0, end + 1);
        }
    });

    QTextStream out(stdout);
    out << line.devicePath() << Qt::endl;
    if (parser.isSet(link))
        out << parser.value(link) << Qt::endl;

    const int result = app.exec();
    line.close();
    return result;
}
