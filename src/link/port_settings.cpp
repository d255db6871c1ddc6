#include "link/port_settings.h"

#include "app/app_settings.h"
#include "app/integer_text.h"
#include "app/prompter.h"
#include "link/com_port_link.h"

namespace kv7m {

namespace {

std::optional<int> convertTimeOut(Prompter& prompter, const QString& text)
{
    const std::optional<int> value = parseInteger(text);
    if (!value)
        prompter.inform(kApplicationTitle, integerConversionErrorText(text), PromptIcon::Error);
    return value;
}

}  // namespace

PortDialogOutcome applyPortSettings(ComPortLink& link, AppSettings& settings, Prompter& prompter,
                                    const PortDialogInput& input, const PortDialogActions& actions)
{
    if (!link.OpenComPort(input.portName, input.baudText)) {
        link.setReaderRunning(false);
        return PortDialogOutcome::PortNotOpened;
    }
    link.setReaderRunning(true);
    const std::optional<int> clearTimeOut = convertTimeOut(prompter, input.mainTableClearTimeOut);
    if (!clearTimeOut)
        return PortDialogOutcome::TimeOutNotInteger;
    actions.setMainTableClearTimeOut(*clearTimeOut);
    const std::optional<int> replyTimeOut = convertTimeOut(prompter, input.replyTimeOut);
    if (!replyTimeOut)
        return PortDialogOutcome::TimeOutNotInteger;
    actions.setReplyTimeOut(*replyTimeOut);
    settings.WriteRegistryString(setting::WaitAnsewer, input.replyTimeOut);
    settings.WriteRegistryString(setting::MainTableClearTimeOut, input.mainTableClearTimeOut);
    actions.clearMessagePanel();
    return PortDialogOutcome::Applied;
}

}  // namespace kv7m
