#include "app/app_services.h"
#include "app/app_settings.h"
#include "app/clock.h"
#include "app/locale_settings.h"
#include "app/maindebugmega.h"
#include "app/message_box_prompter.h"
#include "link/qt_serial_port.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTranslator>

#include <exception>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv7m-configurator"));
    QApplication::setApplicationVersion(QStringLiteral(KV7M_VERSION));

    QTranslator qtTranslation;
    kv7m::installRussianQtTranslation(app, qtTranslation);

    try {
        std::unique_ptr<kv7m::AppSettings> settings = kv7m::AppSettings::openDefault();
        kv7m::MessageBoxPrompter prompter;
        kv7m::QtSerialPort port;
        kv7m::SystemClock clock;
        kv7m::AppServices services{*settings,
                                   prompter,
                                   port,
                                   clock,
                                   kv7m::systemDecimalSeparator(),
                                   QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
        kv7m::TMainForm mainForm(services);
        prompter.setParent(&mainForm);
        mainForm.show();
        return app.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, kv7m::kApplicationTitle, QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
