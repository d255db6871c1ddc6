// Measures how long the configurator takes from process start to its main window shown, with an
// empty settings store and no serial port. Prints the in-process figure; time the whole process
// from outside as well (see bench/README.md).
#include "app/app_services.h"
#include "app/app_settings.h"
#include "app/clock.h"
#include "app/locale_settings.h"
#include "app/maindebugmega.h"
#include "app/prompter.h"
#include "link/qt_serial_port.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <cstdio>

namespace {

class SilentPrompter : public kv7m::Prompter {
public:
    kv7m::PromptAnswer ask(const kv7m::Prompt&) override { return kv7m::PromptAnswer::No; }
};

}  // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QTranslator translator;
    kv7m::installRussianQtTranslation(app, translator);
    const qint64 appReady = sinceMain.nsecsElapsed();

    QTemporaryDir dir;
    auto settings = kv7m::AppSettings::openIniFile(dir.filePath(QStringLiteral("settings.ini")));
    SilentPrompter prompter;
    kv7m::QtSerialPort port;
    kv7m::SystemClock clock;
    kv7m::AppServices services{*settings, prompter, port, clock, kv7m::systemDecimalSeparator(), dir.path()};
    kv7m::TMainForm form(services);
    const qint64 created = sinceMain.nsecsElapsed();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 10000)) {
        std::fprintf(stderr, "main window was not exposed\n");
        return 1;
    }
    const qint64 shown = sinceMain.nsecsElapsed();
    std::printf("application object ready: %7.1f ms\n", appReady / 1e6);
    std::printf("main window created:      %7.1f ms\n", created / 1e6);
    std::printf("main window shown:        %7.1f ms\n", shown / 1e6);
    return 0;
}
