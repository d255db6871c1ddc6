#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace kv7m {

class Prompter;

// The per-unit settings file TVM<address>_SETTINGS.BIN: a mirror of every configuration block of
// one unit, 28160 bytes laid out as the unit's memory. A file is never left half-written: every
// write replaces the whole file only once the new contents are complete.
class SettingsFile {
public:
    // `settingsPath` gives the folder of the files (it may change while the program runs).
    SettingsFile(std::function<QString()> settingsPath, Prompter& prompter);

    QString filePath(int unitAddress) const;

    // Reads `length` bytes at `offset`. A unit without a file first gets the default file (after
    // telling the user). False when the bytes could not all be read.
    bool ReadSettingsBlock(int unitAddress, std::size_t offset, std::uint8_t* buffer, std::size_t length);
    // Writes `length` bytes at `offset`, creating the folder and, for a unit without a file, the
    // default file first. False, after a message, when the block is not in the file.
    bool WriteSettingsBlock(int unitAddress, std::size_t offset, const std::uint8_t* buffer, std::size_t length);
    // Writes the default image as the unit's file.
    bool CreateDefaultSettingsFile(int unitAddress);

private:
    bool ensureFolder();
    bool replaceFile(const QString& path, const QByteArray& contents, const QString& failureText);

    std::function<QString()> m_settingsPath;
    Prompter& m_prompter;
};

namespace settings_text {
inline const QString FileMissingStart = QStringLiteral("Файл с настройками ");
inline const QString FileMissingEnd = QStringLiteral(" отсутствует. Сейчас будут загружены настройки по умолчанию.");
inline const QString CannotCreateFolder = QStringLiteral("Невозможно создать каталог хранения настроек");
inline const QString CannotCreateFile = QStringLiteral("Невозможно создать файл хранения настроек");
inline const QString CannotWriteFile = QStringLiteral("Невозможно записать файл хранения настроек");
}  // namespace settings_text

}  // namespace kv7m
