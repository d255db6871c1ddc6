#pragma once

#include <QString>

#include <functional>

namespace kv7m {

class AppSettings;
class Prompter;
class SerialPort;

// Opens, closes and remembers the program's serial port, and reports the outcome in the port
// panel of the status bar.
class ComPortLink {
public:
    using PortNameDisplay = std::function<void(const QString&)>;

    ComPortLink(SerialPort& port, AppSettings& settings, Prompter& prompter, PortNameDisplay showPortName);

    // True when the port is open. Either way the port panel and CurrCOMM describe the outcome;
    // a port that cannot be opened is reported as "Порт занят".
    bool OpenComPort(const QString& portName, const QString& baudText);
    void CloseComPort();

    // Start-up check: reopens the remembered port, or asks for one when none was chosen.
    void CheckPortOnStart(const std::function<void()>& showPortDialog);

    // The receive side takes bytes from the port only while the reader runs.
    bool readerRunning() const { return m_readerRunning; }
    void setReaderRunning(bool running) { m_readerRunning = running; }

    SerialPort& port() { return m_port; }

private:
    SerialPort& m_port;
    AppSettings& m_settings;
    Prompter& m_prompter;
    PortNameDisplay m_showPortName;
    bool m_readerRunning = false;
};

// Texts of the port's messages.
namespace port_text {
inline const QString NoPort = QStringLiteral("n/a");
inline const QString PortBusy = QStringLiteral("Порт занят");
inline const QString ChoosePortQuestion = QStringLiteral("СОМ порт не выбран. Выбрать?");
}  // namespace port_text

}  // namespace kv7m
