#include "app/app_settings.h"

#include "support/temp_settings.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

TEST(AppSettings, MissingValueReadsEmpty)
{
    TempSettings store;
    EXPECT_EQ(store.settings->ReadRegistryString(setting::AdrBO), QString());
}

TEST(AppSettings, NamesMatchWithoutRegardToCase)
{
    TempSettings store;
    {
        QSettings ini(store.path(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("CurrComm"), QStringLiteral("COM7"));
    }
    auto settings = AppSettings::openIniFile(store.path());
    EXPECT_EQ(settings->ReadRegistryString(QStringLiteral("CurrCOMM")), QStringLiteral("COM7"));

    // Writing keeps the stored spelling instead of adding a second value.
    settings->WriteRegistryString(QStringLiteral("CURRCOMM"), QStringLiteral("COM8"));
    QSettings ini(store.path(), QSettings::IniFormat);
    EXPECT_EQ(ini.childKeys(), QStringList{QStringLiteral("CurrComm")});
    EXPECT_EQ(ini.value(QStringLiteral("CurrComm")).toString(), QStringLiteral("COM8"));
}

TEST(AppSettings, ValuesAreStoredAsTextAtOnce)
{
    TempSettings store;
    store.settings->WriteRegistryString(setting::DataPath, QStringLiteral("/data/Архив, КВ7М"));
    store.settings->WriteRegistryString(setting::WaitAnsewer, QStringLiteral("007"));
    // Another reader sees them without the writer being closed.
    auto other = AppSettings::openIniFile(store.path());
    EXPECT_EQ(other->ReadRegistryString(setting::DataPath), QStringLiteral("/data/Архив, КВ7М"));
    EXPECT_EQ(other->ReadRegistryString(setting::WaitAnsewer), QStringLiteral("007"));
}

TEST(AppSettings, HandWrittenIniWithTopLevelKeysIsRead)
{
    TempSettings store;
    QFile file(store.path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nAdrBO=5\nSettingsPath=/tmp/a,b\nBaudRate=19200\n");
    file.close();
    auto settings = AppSettings::openIniFile(store.path());
    EXPECT_EQ(settings->ReadRegistryString(setting::AdrBO), QStringLiteral("5"));
    EXPECT_EQ(settings->ReadRegistryString(setting::SettingsPath), QStringLiteral("/tmp/a,b"));
    EXPECT_EQ(settings->ReadRegistryString(setting::BaudRate), QStringLiteral("19200"));
}

TEST(AppSettings, EnvironmentVariableChoosesTheFile)
{
    TempSettings store;
    store.settings->WriteRegistryString(setting::AdrBO, QStringLiteral("42"));
    qputenv("KV7M_SETTINGS", store.path().toLocal8Bit());
    auto settings = AppSettings::openDefault();
    qunsetenv("KV7M_SETTINGS");
    EXPECT_EQ(settings->ReadRegistryString(setting::AdrBO), QStringLiteral("42"));
    EXPECT_EQ(settings->location(), store.path());
}
