// Throughput of the live-data path.
//   kv7m-bench-live [--frames 400000] [--records 20000]
// 1. Assembler, decoder and dispatcher without widgets: measurement frames (reply 52 of 60 data
//    bytes) fed as one byte stream, counted by the handler.
// 2. The whole path in the main window (offscreen): system table with its font fitting, channel
//    view and archive files, records of all eight channels.
#include "app/app_services.h"
#include "app/app_settings.h"
#include "app/clock.h"
#include "app/maindebugmega.h"
#include "app/prompter.h"
#include "link/com_port_link.h"
#include "link/frame_codec.h"
#include "link/receive_pipeline.h"
#include "link/serial_port.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace kv7m;

namespace {

class NullPort : public SerialPort {
public:
    bool open(const QString&, const QString&) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    qint64 write(const QByteArray& bytes) override { return bytes.size(); }
    QByteArray read(qint64) override { return {}; }
    qint64 bytesAvailable() const override { return 0; }
    void purge() override {}
};

class NoPrompts : public Prompter {
public:
    int count = 0;
    PromptAnswer ask(const Prompt&) override
    {
        ++count;
        return PromptAnswer::No;
    }
};

class Host : public ReceiveHost {
public:
    bool isBootloaderMode() const override { return false; }
    void setBootloaderMode(bool) override {}
    void startProgrammer() override {}
    bool isAddressDetectionOn() const override { return true; }
    void unitAddressDetected(int) override {}
    void receiveIndicatorOn() override {}
    void monitorByte(std::uint8_t) override {}
    void monitorFrame(const QByteArray&) override {}
};

QByteArray recordFrame(int channel, int moisture)
{
    std::uint8_t data[60] = {};
    data[0] = std::uint8_t(channel + 1);
    data[2] = std::uint8_t(channel);
    data[12] = std::uint8_t(moisture >> 8);
    data[13] = std::uint8_t(moisture);
    data[22] = 0x21;
    data[23] = 0x34;
    data[41] = 0xCD;
    data[43] = 0xC8;
    data[44] = 0x0B;
    data[45] = 0xB8;
    data[50] = 0x03;
    data[51] = 0xE8;
    data[52] = 0x04;
    data[53] = 0x63;
    std::uint8_t frame[80];
    return encodeFrame(frame, composeFrame(frame, sizeof frame, 1, 52, data, sizeof data));
}

void withoutWidgets(int frames)
{
    QTemporaryDir dir;
    auto settings = AppSettings::openIniFile(dir.filePath(QStringLiteral("s.ini")));
    ProtocolState state;
    NullPort port;
    NoPrompts prompter;
    Host host;
    ComPortLink link(port, *settings, prompter, [](const QString&) {});
    link.setReaderRunning(true);
    int handled = 0;
    int errors = 0;
    ReplyDispatcher dispatcher(state, [&] { ++errors; });
    dispatcher.setHandler(52, [&] { ++handled; });
    ReceivePipeline pipeline(state, link, dispatcher, prompter, host);

    QByteArray stream;
    for (int i = 0; i < 1000; ++i)
        stream += recordFrame(i % 8, 1000 + i);
    QElapsedTimer timer;
    timer.start();
    // Reads of a serial line come in pieces; feed 512 bytes at a time.
    for (int round = 0; round < frames / 1000; ++round)
        for (qsizetype from = 0; from < stream.size(); from += 512)
            pipeline.receive(stream.mid(from, 512));
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("assembler + decoder + dispatcher: %d frames in %.3f s = %.0f frames/s (%d checksum errors)\n", handled,
                seconds, handled / seconds, errors);
}

void wholePath(int records)
{
    QTemporaryDir dir;
    auto settings = AppSettings::openIniFile(dir.filePath(QStringLiteral("s.ini")));
    settings->WriteRegistryString(setting::DataPath, dir.filePath(QStringLiteral("archive")));
    settings->WriteRegistryString(setting::AdrBO, QStringLiteral("1"));
    NoPrompts prompter;
    NullPort port;
    SystemClock clock;
    AppServices services{*settings, prompter, port, clock, QLatin1Char(','), dir.path()};
    TMainForm form(services);
    form.CheckRSConnectOnStartProg->stop();
    form.resize(1280, 800);
    form.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents();

    QList<QByteArray> frames;
    for (int i = 0; i < 64; ++i)
        frames.append(recordFrame(i % 8, 1000 + 7 * i));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < records; ++i) {
        form.receivePipeline().receive(frames[i % frames.size()]);
        if (i % 100 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;

    qint64 lines = 0;
    QDirIterator files(dir.filePath(QStringLiteral("archive")), {QStringLiteral("*.mes")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            lines += file.readAll().count("\r\n") - 1;
    }
    std::printf("whole path (tables, channel view, archive): %d records in %.3f s = %.0f records/s; "
                "%lld archived, %d messages\n",
                records, seconds, records / seconds, static_cast<long long>(lines), prompter.count);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption frames(QStringLiteral("frames"), QStringLiteral("Frames without widgets."),
                                    QStringLiteral("n"), QStringLiteral("400000"));
    const QCommandLineOption records(QStringLiteral("records"), QStringLiteral("Records through the window."),
                                     QStringLiteral("n"), QStringLiteral("20000"));
    parser.addOptions({frames, records});
    parser.process(app);
    withoutWidgets(parser.value(frames).toInt());
    wholePath(parser.value(records).toInt());
    return 0;
}
