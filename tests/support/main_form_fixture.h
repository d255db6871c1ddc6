#pragma once

#include "app/app_services.h"
#include "app/maindebugmega.h"
#include "support/fixed_clock.h"
#include "support/memory_serial_port.h"
#include "support/scripted_prompter.h"
#include "support/temp_settings.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace kv7m::test {

// A main window over doubles: settings in a temporary INI file, scripted prompts, a port in
// memory and a fixed clock.
class MainFormFixture : public ::testing::Test {
protected:
    AppSettings& settings() { return *store.settings; }

    // Creates the window; unless `keepStartTimers`, the start-up timers are stopped so the test
    // decides when the port check runs.
    TMainForm& createForm(bool keepStartTimers = false)
    {
        form = std::make_unique<TMainForm>(services);
        if (!keepStartTimers) {
            form->CheckRSConnectOnStartProg->stop();
            form->RestoreTimer->stop();
        }
        return *form;
    }

    TempSettings store;
    ScriptedPrompter prompter;
    MemorySerialPort port;
    FixedClock clock;
    AppServices services{*store.settings, prompter,         port,
                         clock,           QLatin1Char(','), store.dir.filePath(QStringLiteral("userdata"))};
    std::unique_ptr<TMainForm> form;
};

}  // namespace kv7m::test
