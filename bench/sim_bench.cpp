// How fast the simulated unit answers, and whether a paced line takes its wire time.
//   kv7m-bench-sim [--baud 19200] [--chunks 221] [--pty]
// 1. The model alone: requests decoded and answered per second (no event loop).
// 2. A whole-image read (command 87, chunk after chunk, each sent when the previous reply is in)
//    through the program's senders, in-process or through a pseudo-terminal (--pty), unpaced and
//    paced at --baud; the paced time is compared with the wire time of every character.
#include "app/prompter.h"
#include "link/frame_assembler.h"
#include "link/frame_sender.h"
#include "link/qt_serial_port.h"
#include "protocol/protocol_state.h"
#include "sim/simulated_serial_port.h"
#include "sim/simulated_unit.h"
#ifdef Q_OS_UNIX
#include "sim/pty_line_posix.h"
#endif

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <memory>

using namespace kv7m;

namespace {

class Host : public SenderHost {
public:
    QString currentAddressText() const override { return QStringLiteral("1"); }
    bool isBootloaderMode() const override { return false; }
    void leaveBootloaderMode() override {}
    void transmitIndicatorOn() override {}
};

class NoPrompts : public Prompter {
public:
    PromptAnswer ask(const Prompt&) override { return PromptAnswer::No; }
};

void modelAlone()
{
    sim::UnitModel model(sim::UnitOptions{});
    const QByteArray requests[] = {":0132CD\r\n", ":015700A8\r\n", ":013400CB\r\n"};
    const char* names[] = {"50 status", "87 chunk", "52 record"};
    for (int r = 0; r < 3; ++r) {
        const int n = 200000;
        QElapsedTimer timer;
        timer.start();
        qsizetype bytes = 0;
        for (int i = 0; i < n; ++i)
            for (const sim::Emission& e : model.receive(requests[r], i))
                bytes += e.bytes.size();
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("model alone, %-10s %8.0f requests/s, %.2f us each (%lld reply bytes)\n", names[r], n / seconds,
                    seconds / n * 1e6, static_cast<long long>(bytes));
    }
}

// Reads `chunks` chunks with command 87, one request per reply.
double wholeRead(SerialPort& port, int chunks, int& charactersOnWire)
{
    ProtocolState state;
    NoPrompts prompter;
    Host host;
    FrameSender sender(state, port, prompter, host);
    FrameAssembler assembler;
    QEventLoop loop;
    int next = 0;
    charactersOnWire = 0;
    QObject::connect(&port, &SerialPort::bytesArrived, &loop, [&] {
        const QByteArray bytes = port.read(-1);
        charactersOnWire += int(bytes.size());
        for (const char c : bytes) {
            if (assembler.feed(std::uint8_t(c)) != FrameAssembler::Result::Complete)
                continue;
            if (++next == chunks) {
                loop.quit();
                return;
            }
            charactersOnWire += 11;
            sender.SendCommandByte(87, std::uint8_t(next));
        }
    });
    QElapsedTimer timer;
    timer.start();
    charactersOnWire += 11;
    sender.SendCommandByte(87, 0);
    loop.exec();
    return timer.nsecsElapsed() / 1e9;
}

void lineRun(bool pty, int baud, int chunks)
{
    sim::LineFaults faults;
    faults.baud = baud;
    sim::SimulatedUnit unit(sim::UnitOptions{}, faults);
    std::unique_ptr<SerialPort> port;
#ifdef Q_OS_UNIX
    sim::PtyLine line;
    if (pty) {
        QString error;
        if (!line.open(&error)) {
            std::printf("pty: %s\n", qPrintable(error));
            return;
        }
        QObject::connect(&line, &sim::PtyLine::received, &unit, &sim::SimulatedUnit::receiveFromLine);
        QObject::connect(&unit, &sim::SimulatedUnit::transmit, &line, &sim::PtyLine::write);
        port = std::make_unique<QtSerialPort>();
        port->open(line.devicePath(), QString::number(baud > 0 ? baud : 115200));
    }
#endif
    if (!port) {
        pty = false;
        port = std::make_unique<sim::SimulatedSerialPort>(unit);
        port->open(QStringLiteral("SIM"), QString());
    }
    int characters = 0;
    const double seconds = wholeRead(*port, chunks, characters);
    std::printf("%s, %s: %d round trips in %.3f s = %.0f round trips/s, %.3f ms each", pty ? "pty" : "in-process",
                baud > 0 ? qPrintable(QStringLiteral("paced at %1 baud").arg(baud)) : "unpaced", chunks, seconds,
                chunks / seconds, seconds / chunks * 1e3);
    if (baud > 0) {
        const double wire = characters * 10.0 / baud;
        std::printf("; wire time %.3f s, measured/wire %.4f", wire, seconds / wire);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Paced rate."), QStringLiteral("rate"),
                                  QStringLiteral("19200"));
    const QCommandLineOption chunks(QStringLiteral("chunks"), QStringLiteral("Round trips."), QStringLiteral("n"),
                                    QStringLiteral("221"));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("Through a pseudo-terminal."));
    parser.addOptions({baud, chunks, pty});
    parser.process(app);

    modelAlone();
    lineRun(parser.isSet(pty), 0, parser.value(chunks).toInt());
    lineRun(parser.isSet(pty), parser.value(baud).toInt(), parser.value(chunks).toInt());
    return 0;
}
