#include "app/app_settings.h"

#include <QSettings>

namespace kv7m {

AppSettings::AppSettings(std::unique_ptr<QSettings> store) : m_store(std::move(store)) {}

AppSettings::~AppSettings() = default;

std::unique_ptr<AppSettings> AppSettings::openDefault()
{
    const QString overridePath = qEnvironmentVariable("KV7M_SETTINGS");
    if (!overridePath.isEmpty())
        return openIniFile(overridePath);
#ifdef Q_OS_WIN
    // Existing installations keep their values here.
    return std::make_unique<AppSettings>(
        std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\ConfigKV7M_VL"), QSettings::NativeFormat));
#else
    return std::make_unique<AppSettings>(
        std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ConfigKV7M_VL")));
#endif
}

std::unique_ptr<AppSettings> AppSettings::openIniFile(const QString& path)
{
    return std::make_unique<AppSettings>(std::make_unique<QSettings>(path, QSettings::IniFormat));
}

QString AppSettings::storedKey(const QString& name) const
{
    const QStringList keys = m_store->childKeys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return key;
    }
    return {};
}

QString AppSettings::ReadRegistryString(const QString& name) const
{
    const QString key = storedKey(name);
    if (key.isEmpty())
        return {};
    const QVariant value = m_store->value(key);
    // An INI line with an unquoted comma reads back as a list; the value is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void AppSettings::WriteRegistryString(const QString& name, const QString& text)
{
    const QString key = storedKey(name);
    m_store->setValue(key.isEmpty() ? name : key, text);
    m_store->sync();
}

QString AppSettings::location() const
{
    return m_store->fileName();
}

}  // namespace kv7m
