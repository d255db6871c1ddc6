#include "link/com_port_link.h"

#include "app/app_settings.h"
#include "app/prompter.h"
#include "link/serial_port.h"

namespace kv7m {

ComPortLink::ComPortLink(SerialPort& port, AppSettings& settings, Prompter& prompter, PortNameDisplay showPortName)
    : m_port(port), m_settings(settings), m_prompter(prompter), m_showPortName(std::move(showPortName))
{
}

bool ComPortLink::OpenComPort(const QString& portName, const QString& baudText)
{
    m_port.close();
    if (!m_port.open(portName, baudText)) {
        // Recorded before the message, which may stay open for a long time.
        m_showPortName(port_text::NoPort);
        m_settings.WriteRegistryString(setting::CurrCOMM, port_text::NoPort);
        m_prompter.inform(kMessageCaption, port_text::PortBusy, PromptIcon::Error);
        return false;
    }
    m_settings.WriteRegistryString(setting::CurrCOMM, portName);
    m_settings.WriteRegistryString(setting::BaudRate, baudText);
    m_showPortName(portName);
    return true;
}

void ComPortLink::CloseComPort()
{
    m_port.close();
    m_readerRunning = false;
}

void ComPortLink::CheckPortOnStart(const std::function<void()>& showPortDialog)
{
    const QString portName = m_settings.ReadRegistryString(setting::CurrCOMM);
    const QString baudText = m_settings.ReadRegistryString(setting::BaudRate);
    if (portName != port_text::NoPort) {
        m_readerRunning = OpenComPort(portName, baudText);
        return;
    }
    if (m_prompter.askYesNo(kMessageCaption, port_text::ChoosePortQuestion, PromptIcon::Information))
        showPortDialog();
    else
        m_showPortName(portName);
}

}  // namespace kv7m
