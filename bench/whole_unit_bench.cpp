// Whole-unit read ("Прочитать все настройки") by the main window from the simulated unit through
// a pseudo-terminal and Qt Serial Port, unpaced and paced. Linux and other POSIX systems.
//   kv7m-bench-whole-unit [--baud 19200]
// Prints round trips per second, the program's own turnaround per chunk (from the reply's bytes
// arriving to the next request written) and, paced, the time against the wire time.
#include "app/app_services.h"
#include "app/app_settings.h"
#include "app/clock.h"
#include "app/maindebugmega.h"
#include "app/prompter.h"
#include "link/qt_serial_port.h"
#include "settings/whole_unit_transfer.h"
#include "sim/pty_line_posix.h"
#include "sim/simulated_unit.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace kv7m;

namespace {

// The real port, timed: when bytes arrive and when the program writes.
class TimedPort : public QtSerialPort {
public:
    TimedPort()
    {
        m_clock.start();
        connect(this, &SerialPort::bytesArrived, this, [this] { m_lastArrivalNs = m_clock.nsecsElapsed(); });
    }
    qint64 write(const QByteArray& bytes) override
    {
        if (m_lastArrivalNs >= 0)
            turnaroundsNs.append(m_clock.nsecsElapsed() - m_lastArrivalNs);
        m_lastArrivalNs = -1;
        written += bytes.size();
        return QtSerialPort::write(bytes);
    }
    QList<qint64> turnaroundsNs;
    qint64 written = 0;

private:
    QElapsedTimer m_clock;
    qint64 m_lastArrivalNs = -1;
};

class YesPrompter : public Prompter {
public:
    int count = 0;
    QString last;
    std::function<void()> onMessage;
    PromptAnswer ask(const Prompt& prompt) override
    {
        ++count;
        last = prompt.text;
        // A message (not the question) ends the read.
        if (prompt.buttons == PromptButtons::Ok && onMessage)
            onMessage();
        return PromptAnswer::Yes;
    }
};

void run(int baud)
{
    sim::LineFaults faults;
    faults.baud = baud;
    sim::SimulatedUnit unit(sim::UnitOptions{}, faults);
    sim::PtyLine line;
    QString error;
    if (!line.open(&error)) {
        std::printf("pty: %s\n", qPrintable(error));
        return;
    }
    QObject::connect(&line, &sim::PtyLine::received, &unit, &sim::SimulatedUnit::receiveFromLine);
    qint64 unitBytes = 0;
    QObject::connect(&unit, &sim::SimulatedUnit::transmit, &line, [&](const QByteArray& bytes) {
        unitBytes += bytes.size();
        line.write(bytes);
    });

    QTemporaryDir dir;
    auto settings = AppSettings::openIniFile(dir.filePath(QStringLiteral("s.ini")));
    settings->WriteRegistryString(setting::CurrCOMM, line.devicePath());
    settings->WriteRegistryString(setting::BaudRate, QString::number(baud > 0 ? baud : 115200));
    settings->WriteRegistryString(setting::AdrBO, QStringLiteral("1"));
    settings->WriteRegistryString(setting::SettingsPath, dir.filePath(QStringLiteral("settings")));
    settings->WriteRegistryString(setting::DataPath, dir.filePath(QStringLiteral("data")));
    YesPrompter prompter;
    TimedPort port;
    SystemClock clock;
    AppServices services{*settings, prompter, port, clock, QLatin1Char(','), dir.path()};
    TMainForm form(services);
    form.CheckRSConnectOnStartProg->stop();
    form.checkPortOnStart();

    QEventLoop loop;
    QElapsedTimer timer;
    qint64 endNs = 0;
    prompter.onMessage = [&] {
        endNs = timer.nsecsElapsed();
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    };
    timer.start();
    form.mmReadAllSettings->trigger();
    loop.exec();
    const double seconds = endNs / 1e9;

    QList<qint64> turnarounds = port.turnaroundsNs;
    std::sort(turnarounds.begin(), turnarounds.end());
    const double median = turnarounds.isEmpty() ? 0 : turnarounds[turnarounds.size() / 2] / 1e6;
    const double worst = turnarounds.isEmpty() ? 0 : turnarounds.last() / 1e6;
    std::printf("%s: %lld round trips in %.3f s = %.0f round trips/s; turnaround per chunk median %.3f ms, "
                "max %.3f ms; ended with \"%s\"\n",
                baud > 0 ? qPrintable(QStringLiteral("paced at %1 baud").arg(baud)) : "unpaced",
                static_cast<long long>(turnarounds.size() + 1), seconds, (turnarounds.size() + 1) / seconds, median,
                worst, qPrintable(prompter.last));
    if (baud > 0) {
        const double wire = double(port.written + unitBytes) * 10.0 / baud;
        std::printf("  wire time %.3f s, measured/wire %.4f\n", wire, seconds / wire);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Paced rate."), QStringLiteral("rate"),
                                  QStringLiteral("19200"));
    parser.addOption(baud);
    parser.process(app);
    run(0);
    run(parser.value(baud).toInt());
    return 0;
}
