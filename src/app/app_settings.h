#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace kv7m {

// Names of the application settings (string values).
namespace setting {
inline const QString SettingsPath = QStringLiteral("SettingsPath");
inline const QString DataPath = QStringLiteral("DataPath");
inline const QString AdrBO = QStringLiteral("AdrBO");
inline const QString MainTableClearTimeOut = QStringLiteral("MainTableClearTimeOut");
inline const QString WaitAnsewer = QStringLiteral("WaitAnsewer");
inline const QString CurrCOMM = QStringLiteral("CurrCOMM");
inline const QString BaudRate = QStringLiteral("BaudRate");
}  // namespace setting

// The program's settings: string values under HKEY_CURRENT_USER\ConfigKV7M_VL\ on Windows, an INI
// file in the user's configuration folder elsewhere, or the INI file named by KV7M_SETTINGS.
// Value names match without regard to case, as they do in the registry.
class AppSettings {
public:
    explicit AppSettings(std::unique_ptr<QSettings> store);
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // The store the program uses on this system (see above).
    static std::unique_ptr<AppSettings> openDefault();
    // An INI file holding the values at its top level.
    static std::unique_ptr<AppSettings> openIniFile(const QString& path);

    // A missing value reads as the empty text.
    QString ReadRegistryString(const QString& name) const;
    // Written at once, so a crash loses nothing already set.
    void WriteRegistryString(const QString& name, const QString& text);

    QString location() const;

private:
    QString storedKey(const QString& name) const;

    std::unique_ptr<QSettings> m_store;
};

}  // namespace kv7m
