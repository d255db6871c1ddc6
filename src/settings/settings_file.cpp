#include "settings/settings_file.h"

#include "app/prompter.h"
#include "settings/settings_layout.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kv7m {

SettingsFile::SettingsFile(std::function<QString()> settingsPath, Prompter& prompter)
    : m_settingsPath(std::move(settingsPath)), m_prompter(prompter)
{
}

QString SettingsFile::filePath(int unitAddress) const
{
    return QDir(m_settingsPath()).filePath(QStringLiteral("TVM%1_SETTINGS.BIN").arg(unitAddress));
}

bool SettingsFile::ensureFolder()
{
    const QString folder = m_settingsPath();
    if (!folder.isEmpty() && QDir().mkpath(folder))
        return true;
    m_prompter.inform(kMessageCaption, settings_text::CannotCreateFolder, PromptIcon::Error);
    return false;
}

bool SettingsFile::replaceFile(const QString& path, const QByteArray& contents, const QString& failureText)
{
    // Written beside the old file and renamed over it: a crash or a full disk leaves the old file.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return true;
    // The failure to replace an existing file names it; a file that could not be made is just that.
    const bool existed = QFile::exists(path);
    m_prompter.inform(kMessageCaption,
                      existed ? failureText + QStringLiteral("\n") + QDir::toNativeSeparators(path) : failureText,
                      PromptIcon::Error);
    return false;
}

bool SettingsFile::CreateDefaultSettingsFile(int unitAddress)
{
    // The folder too: a new installation has none yet.
    if (!QDir().mkpath(m_settingsPath())) {
        m_prompter.inform(kMessageCaption, settings_text::CannotCreateFile, PromptIcon::Error);
        return false;
    }
    const SettingsImage image = defaultSettingsImage();
    return replaceFile(filePath(unitAddress),
                       QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())),
                       settings_text::CannotCreateFile);
}

bool SettingsFile::ReadSettingsBlock(int unitAddress, std::size_t offset, std::uint8_t* buffer, std::size_t length)
{
    const QString path = filePath(unitAddress);
    if (!QFile::exists(path)) {
        m_prompter.inform(kMessageCaption,
                          settings_text::FileMissingStart + QDir::toNativeSeparators(path) +
                              settings_text::FileMissingEnd,
                          PromptIcon::Information);
        if (!CreateDefaultSettingsFile(unitAddress))
            return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(offset)))
        return false;
    return file.read(reinterpret_cast<char*>(buffer), qint64(length)) == qint64(length);
}

bool SettingsFile::WriteSettingsBlock(int unitAddress, std::size_t offset, const std::uint8_t* buffer,
                                      std::size_t length)
{
    if (!ensureFolder())
        return false;
    const QString path = filePath(unitAddress);
    // A unit without a file starts from the default image, so that every other block stays
    // readable after this one is stored.
    const SettingsImage defaults = defaultSettingsImage();
    QByteArray contents(reinterpret_cast<const char*>(defaults.data()), qsizetype(defaults.size()));
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly)) {
            m_prompter.inform(kMessageCaption,
                              settings_text::CannotWriteFile + QStringLiteral("\n") + QDir::toNativeSeparators(path),
                              PromptIcon::Error);
            return false;
        }
        const QByteArray stored = current.readAll();
        current.close();
        contents.replace(0, std::min(stored.size(), contents.size()), stored.left(contents.size()));
        if (stored.size() > contents.size())
            contents += stored.mid(contents.size());
    }
    const qsizetype end = qsizetype(offset + length);
    if (contents.size() < end)
        contents.resize(end, char(0xFF));
    std::copy(buffer, buffer + length, contents.begin() + qsizetype(offset));
    const bool existed = current.exists();
    return replaceFile(path, contents, existed ? settings_text::CannotWriteFile : settings_text::CannotCreateFile);
}

}  // namespace kv7m
