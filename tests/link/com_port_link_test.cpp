#include "link/com_port_link.h"

#include "app/app_settings.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"
#include "support/temp_settings.h"

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

class ComPortLinkTest : public ::testing::Test {
protected:
    AppSettings& settings() { return *store.settings; }

    TempSettings store;
    MemorySerialPort port;
    ScriptedPrompter prompter;
    QString portPanel = QStringLiteral("(untouched)");
    ComPortLink link{port, *store.settings, prompter, [this](const QString& name) { portPanel = name; }};
};

const Prompt kPortBusy{QStringLiteral("КВ7М"), QStringLiteral("Порт занят"), PromptIcon::Error, PromptButtons::Ok};
const Prompt kChoosePort{QStringLiteral("КВ7М"), QStringLiteral("СОМ порт не выбран. Выбрать?"),
                         PromptIcon::Information, PromptButtons::YesNo};

TEST_F(ComPortLinkTest, OpenRemembersPortAndBaud)
{
    ASSERT_TRUE(link.OpenComPort(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("115200")));
    EXPECT_EQ(port.openedName, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(port.openedBaud, QStringLiteral("115200"));
    EXPECT_EQ(portPanel, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(settings().ReadRegistryString(setting::CurrCOMM), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(settings().ReadRegistryString(setting::BaudRate), QStringLiteral("115200"));
    EXPECT_TRUE(prompter.prompts.isEmpty());
}

TEST_F(ComPortLinkTest, FailedOpenSaysPortBusyAndRemembersNoPort)
{
    settings().WriteRegistryString(setting::BaudRate, QStringLiteral("9600"));
    port.missing.insert(QStringLiteral("COM9"));
    EXPECT_FALSE(link.OpenComPort(QStringLiteral("COM9"), QStringLiteral("19200")));
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0], kPortBusy);
    EXPECT_EQ(portPanel, QStringLiteral("n/a"));
    EXPECT_EQ(settings().ReadRegistryString(setting::CurrCOMM), QStringLiteral("n/a"));
    EXPECT_EQ(settings().ReadRegistryString(setting::BaudRate), QStringLiteral("9600"));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ComPortLinkTest, ReopeningClosesTheOpenPortFirst)
{
    ASSERT_TRUE(link.OpenComPort(QStringLiteral("COM1"), QStringLiteral("19200")));
    port.missing.insert(QStringLiteral("COM2"));
    EXPECT_FALSE(link.OpenComPort(QStringLiteral("COM2"), QStringLiteral("19200")));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ComPortLinkTest, StartupReopensRememberedPortAndRunsReader)
{
    settings().WriteRegistryString(setting::CurrCOMM, QStringLiteral("COM4"));
    settings().WriteRegistryString(setting::BaudRate, QStringLiteral("38400"));
    link.CheckPortOnStart([] { FAIL() << "no dialog expected"; });
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.openedBaud, QStringLiteral("38400"));
    EXPECT_TRUE(link.readerRunning());
    EXPECT_EQ(portPanel, QStringLiteral("COM4"));
}

TEST_F(ComPortLinkTest, StartupWithNeverSetPortSaysBusy)
{
    link.CheckPortOnStart([] { FAIL() << "no dialog expected"; });
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0], kPortBusy);
    EXPECT_EQ(settings().ReadRegistryString(setting::CurrCOMM), QStringLiteral("n/a"));
    EXPECT_FALSE(link.readerRunning());
}

TEST_F(ComPortLinkTest, StartupWithNoPortAsksAndNoShowsNa)
{
    settings().WriteRegistryString(setting::CurrCOMM, QStringLiteral("n/a"));
    int dialogs = 0;
    prompter.answer(PromptAnswer::No);
    link.CheckPortOnStart([&] { ++dialogs; });
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0], kChoosePort);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(portPanel, QStringLiteral("n/a"));
    EXPECT_EQ(port.openCount, 0);

    prompter.answer(PromptAnswer::Yes);
    portPanel.clear();
    link.CheckPortOnStart([&] { ++dialogs; });
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(portPanel.isEmpty());
}

}  // namespace
