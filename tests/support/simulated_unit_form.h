#pragma once

#include "app/app_services.h"
#include "app/maindebugmega.h"
#include "sim/simulated_serial_port.h"
#include "sim/simulated_unit.h"
#include "support/fixed_clock.h"
#include "support/scripted_prompter.h"
#include "support/temp_settings.h"

#include <QDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace kv7m::test {

// The main window on a simulated unit in the same process, with its settings and files in a
// temporary folder, the port open and the prompts scripted.
class SimulatedUnitForm : public ::testing::Test {
protected:
    explicit SimulatedUnitForm(sim::UnitOptions options = {}, sim::LineFaults faults = {})
        : unit(options, faults),
          port(unit),
          services{*store.settings, prompter, port, clock, QLatin1Char(','), store.dir.filePath(QStringLiteral("u"))}
    {
        store.settings->WriteRegistryString(QStringLiteral("CurrCOMM"), QStringLiteral("SIM"));
        store.settings->WriteRegistryString(QStringLiteral("AdrBO"), QString::number(options.address));
        store.settings->WriteRegistryString(QStringLiteral("SettingsPath"), settingsPath());
        store.settings->WriteRegistryString(QStringLiteral("DataPath"), dataPath());
        form = std::make_unique<TMainForm>(services);
        form->CheckRSConnectOnStartProg->stop();
        form->RestoreTimer->stop();
        form->checkPortOnStart();
    }

    QString settingsPath() const { return store.dir.filePath(QStringLiteral("Настройки")); }
    QString dataPath() const { return store.dir.filePath(QStringLiteral("Архив")); }

    TempSettings store;
    ScriptedPrompter prompter;
    FixedClock clock;
    sim::SimulatedUnit unit;
    sim::SimulatedSerialPort port;
    AppServices services;
    std::unique_ptr<TMainForm> form;
};

}  // namespace kv7m::test
