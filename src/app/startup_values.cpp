#include "app/startup_values.h"

#include "app/app_settings.h"
#include "app/integer_text.h"
#include "app/prompter.h"

#include <QDir>

namespace kv7m {

namespace {

int readTimeOut(AppSettings& settings, Prompter& prompter, const QString& name)
{
    const QString text = settings.ReadRegistryString(name);
    if (!text.isEmpty()) {
        if (const std::optional<int> value = parseInteger(text))
            return *value;
        prompter.inform(kMessageCaption,
                        QStringLiteral("Значение %1 = '%2' не является целым числом. Принято значение %3.")
                            .arg(name, text)
                            .arg(kDefaultTimeOutSeconds),
                        PromptIcon::Warning);
    }
    settings.WriteRegistryString(name, QString::number(kDefaultTimeOutSeconds));
    return kDefaultTimeOutSeconds;
}

QString readFolder(AppSettings& settings, const QString& name, const QString& fallback)
{
    const QString folder = settings.ReadRegistryString(name);
    return folder.isEmpty() ? fallback : folder;
}

}  // namespace

StartupValues readStartupValues(AppSettings& settings, Prompter& prompter, const QString& dataRoot)
{
    StartupValues values;
    const QDir root(dataRoot);
    values.settingsPath = readFolder(settings, setting::SettingsPath,
                                     QDir::toNativeSeparators(root.filePath(QStringLiteral("Settings"))));
    values.dataPath =
        readFolder(settings, setting::DataPath, QDir::toNativeSeparators(root.filePath(QStringLiteral("Data"))));
    values.unitAddress = settings.ReadRegistryString(setting::AdrBO);
    values.mainTableClearTimeOut = readTimeOut(settings, prompter, setting::MainTableClearTimeOut);
    values.replyTimeOut = readTimeOut(settings, prompter, setting::WaitAnsewer);
    return values;
}

}  // namespace kv7m
