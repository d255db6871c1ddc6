#include "app/locale_settings.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kv7m {

QChar systemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

bool installRussianQtTranslation(QApplication& app, QTranslator& translator)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    // Beside the program first (Windows deployments), then Qt's own folder.
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (translator.load(russian, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            app.installTranslator(&translator);
            return true;
        }
    }
    return false;
}

}  // namespace kv7m
