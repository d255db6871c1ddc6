#include "app/startup_values.h"

#include "app/app_settings.h"
#include "support/scripted_prompter.h"
#include "support/temp_settings.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

struct TimeOutCase {
    const char* name;
    const char* stored;  // nullptr: the value is missing
    int expected;
    bool reported;
    const char* storedAfter;
};

void PrintTo(const TimeOutCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartupTimeOutTest : public ::testing::TestWithParam<TimeOutCase> {};

TEST_P(StartupTimeOutTest, BothTimeOutsFollowTheSameRule)
{
    const TimeOutCase& c = GetParam();
    for (const QString& name : {setting::MainTableClearTimeOut, setting::WaitAnsewer}) {
        TempSettings store;
        ScriptedPrompter prompter;
        if (c.stored)
            store.settings->WriteRegistryString(name, QString::fromUtf8(c.stored));
        const StartupValues values = readStartupValues(*store.settings, prompter, QStringLiteral("/home/u/data"));
        const int value = name == setting::WaitAnsewer ? values.replyTimeOut : values.mainTableClearTimeOut;
        EXPECT_EQ(value, c.expected) << name.toStdString();
        EXPECT_EQ(store.settings->ReadRegistryString(name), QString::fromUtf8(c.storedAfter)) << name.toStdString();
        if (c.reported) {
            ASSERT_EQ(prompter.prompts.size(), 1);
            EXPECT_EQ(prompter.prompts[0].caption, QStringLiteral("КВ7М"));
            EXPECT_EQ(prompter.prompts[0].icon, PromptIcon::Warning);
            EXPECT_EQ(prompter.prompts[0].buttons, PromptButtons::Ok);
            EXPECT_TRUE(prompter.prompts[0].text.contains(name)) << "names the value";
            EXPECT_TRUE(prompter.prompts[0].text.contains(QString::fromUtf8(c.stored))) << "names its text";
        } else {
            EXPECT_TRUE(prompter.prompts.isEmpty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    StartupValues, StartupTimeOutTest,
    ::testing::Values(TimeOutCase{"missing", nullptr, 60, false, "60"}, TimeOutCase{"empty", "", 60, false, "60"},
                      TimeOutCase{"set", "15", 15, false, "15"}, TimeOutCase{"zero", "0", 0, false, "0"},
                      TimeOutCase{"notANumber", "abc", 60, true, "60"}, TimeOutCase{"fraction", "2,5", 60, true, "60"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupValues, EmptyStoreGivesUsableFoldersAndEmptyAddress)
{
    TempSettings store;
    ScriptedPrompter prompter;
    const StartupValues values = readStartupValues(*store.settings, prompter, QStringLiteral("/home/u/data"));
    EXPECT_EQ(values.settingsPath, QDir::toNativeSeparators(QStringLiteral("/home/u/data/Settings")));
    EXPECT_EQ(values.dataPath, QDir::toNativeSeparators(QStringLiteral("/home/u/data/Data")));
    EXPECT_EQ(values.unitAddress, QString());
    // The program never writes the folders; it only falls back to them.
    EXPECT_EQ(store.settings->ReadRegistryString(setting::SettingsPath), QString());
}

TEST(StartupValues, StoredFoldersAndAddressAreTakenAsTheyAre)
{
    TempSettings store;
    ScriptedPrompter prompter;
    store.settings->WriteRegistryString(setting::SettingsPath, QStringLiteral("D:\\КВ7М\\Настройки"));
    store.settings->WriteRegistryString(setting::DataPath, QStringLiteral("D:\\КВ7М\\Архив"));
    store.settings->WriteRegistryString(setting::AdrBO, QStringLiteral("5"));
    const StartupValues values = readStartupValues(*store.settings, prompter, QStringLiteral("/home/u/data"));
    EXPECT_EQ(values.settingsPath, QStringLiteral("D:\\КВ7М\\Настройки"));
    EXPECT_EQ(values.dataPath, QStringLiteral("D:\\КВ7М\\Архив"));
    EXPECT_EQ(values.unitAddress, QStringLiteral("5"));
}

}  // namespace
