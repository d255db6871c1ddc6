#pragma once

#include "app/app_settings.h"

#include <QTemporaryDir>

#include <memory>

namespace kv7m::test {

// Application settings in a throwaway INI file.
struct TempSettings {
    QTemporaryDir dir;
    std::unique_ptr<AppSettings> settings = AppSettings::openIniFile(dir.filePath(QStringLiteral("settings.ini")));

    QString path() const { return dir.filePath(QStringLiteral("settings.ini")); }
};

}  // namespace kv7m::test
