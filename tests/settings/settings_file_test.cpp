#include "settings/settings_file.h"

#include "settings/settings_layout.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath(QStringLiteral("Настройки")); }
    QByteArray contents(int unit) const
    {
        QFile f(file.filePath(unit));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    SettingsFile file{[this] { return folder(); }, prompter};
};

TEST_F(SettingsFileTest, EachUnitHasItsOwnFile)
{
    EXPECT_TRUE(file.filePath(5).endsWith(QStringLiteral("/TVM5_SETTINGS.BIN")));
    EXPECT_TRUE(file.filePath(50).endsWith(QStringLiteral("/TVM50_SETTINGS.BIN")));
    EXPECT_TRUE(file.filePath(300).endsWith(QStringLiteral("/TVM300_SETTINGS.BIN"))) << "named as typed";
}

TEST_F(SettingsFileTest, ReadingAUnitWithoutAFileCreatesTheDefaultFileFirst)
{
    std::uint8_t block[37] = {};
    ASSERT_TRUE(file.ReadSettingsBlock(5, layout::channelConstantsOffset(1), block, sizeof block));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0].text,
              QStringLiteral("Файл с настройками ") + QDir::toNativeSeparators(file.filePath(5)) +
                  QStringLiteral(" отсутствует. Сейчас будут загружены настройки по умолчанию."));
    EXPECT_EQ(prompter.prompts[0].icon, PromptIcon::Information);
    EXPECT_EQ(block[1] << 8 | block[2], 7000);
    const SettingsImage defaults = defaultSettingsImage();
    EXPECT_EQ(contents(5), QByteArray(reinterpret_cast<const char*>(defaults.data()), 28160));
    EXPECT_FALSE(QFile::exists(file.filePath(50))) << "units 5 and 50 have separate files";
}

TEST_F(SettingsFileTest, WritingABlockOfAUnitWithoutAFileKeepsEveryOtherBlockReadable)
{
    const std::uint8_t common[20] = {0x3F};
    ASSERT_TRUE(file.WriteSettingsBlock(7, layout::kCommonOffset, common, sizeof common));
    const QByteArray stored = contents(7);
    ASSERT_EQ(stored.size(), 28160);
    EXPECT_EQ(std::uint8_t(stored[layout::kCommonOffset]), 0x3F);
    // The rest is the default image, so a later read of any block works.
    const SettingsImage defaults = defaultSettingsImage();
    EXPECT_EQ(stored.left(int(layout::kCommonOffset)),
              QByteArray(reinterpret_cast<const char*>(defaults.data()), int(layout::kCommonOffset)));
    std::uint8_t table[4];
    EXPECT_TRUE(file.ReadSettingsBlock(7, layout::errorTableOffset(7), table, sizeof table));
    EXPECT_TRUE(prompter.prompts.isEmpty());
}

TEST_F(SettingsFileTest, FailuresAreReported)
{
    // A regular file where the settings folder should be.
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::uint8_t byte = 1;
    EXPECT_FALSE(file.WriteSettingsBlock(5, 0, &byte, 1));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0],
              (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Невозможно создать каталог хранения настроек"),
                      PromptIcon::Error, PromptButtons::Ok}));
    std::uint8_t buffer[4];
    EXPECT_FALSE(file.ReadSettingsBlock(5, 0, buffer, sizeof buffer));
    EXPECT_EQ(prompter.prompts.last(),
              (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Невозможно создать файл хранения настроек"),
                      PromptIcon::Error, PromptButtons::Ok}));
}

TEST_F(SettingsFileTest, ReadBeyondAShortFileFails)
{
    QDir().mkpath(folder());
    QFile shortFile(file.filePath(5));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(11520, char(0)));
    shortFile.close();
    std::uint8_t buffer[128];
    EXPECT_TRUE(file.ReadSettingsBlock(5, layout::kCommonOffset, buffer, sizeof buffer));
    EXPECT_FALSE(file.ReadSettingsBlock(5, layout::channelConstantsOffset(1), buffer, sizeof buffer));
}

#ifdef Q_OS_UNIX
// Platform test (POSIX): a file-size limit makes the write fail midway.
TEST_F(SettingsFileTest, AWriteThatFailsMidwayLeavesTheOldFileIntact)
{
    SettingsImage image = defaultSettingsImage();
    image[5] = 0x55;
    ASSERT_TRUE(file.WriteSettingsBlock(9, 0, image.data(), image.size()));
    const QByteArray before = contents(9);

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    image[28000] = 0x66;
    const bool written = file.WriteSettingsBlock(9, 0, image.data(), image.size());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    ASSERT_FALSE(prompter.prompts.isEmpty());
    EXPECT_TRUE(prompter.prompts.last().text.startsWith(QStringLiteral("Невозможно записать файл хранения настроек")));
    EXPECT_EQ(contents(9), before);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("TVM9_SETTINGS.BIN")})
        << "no temporary file is left behind";
}
#endif

}  // namespace
