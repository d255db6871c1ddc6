#include "protocol/reply_dispatcher.h"

#include "app/prompter.h"
#include "link/frame_codec.h"
#include "link/frame_sender.h"
#include "measurements/number_format.h"
#include "protocol/protocol_state.h"

namespace kv7m {

ReplyDispatcher::ReplyDispatcher(ProtocolState& state, std::function<void()> checksumError)
    : m_state(state), m_checksumError(std::move(checksumError))
{
}

void ReplyDispatcher::setHandler(std::uint8_t code, Handler handler)
{
    m_handlers[code] = std::move(handler);
}

void ReplyDispatcher::DispatchReply()
{
    int length = 0;
    const bool good = decodeReplyFrame(m_state.RxFrame.data(), std::size_t(m_state.FrameIndex) + 1, length);
    m_state.RxLength = length;
    if (!good) {
        rejectFrame();
        return;
    }
    // A frame of one or two bytes that sum to 0 names no command: nothing handles it.
    if (length < 3) {
        m_state.resetAssembler();
        return;
    }
    // Copied, so that a handler may replace its own code's handler while it runs.
    if (const Handler handler = m_handlers[m_state.RxFrame[1]])
        handler();
    m_state.resetAssembler();
}

void ReplyDispatcher::rejectFrame()
{
    m_state.resetAssembler();
    m_checksumError();
}

void registerUnitInitiatedReplies(ReplyDispatcher& dispatcher, ProtocolState& state, Prompter& prompter,
                                  FrameSender& sender, std::function<QChar()> decimalSeparator)
{
    dispatcher.setHandler(76, [&prompter] {
        prompter.inform(kMessageCaption, QStringLiteral("Команда выполнена"), PromptIcon::Information);
    });
    dispatcher.setHandler(98, [&state, &prompter, &sender, decimalSeparator] {
        if (state.RxLength < 6)
            return;
        const std::uint8_t channel = state.RxFrame[2];
        const int cd2 = state.RxFrame[3] * 256 + state.RxFrame[4];
        prompter.inform(kMessageCaption,
                        QStringLiteral("Блок ТВМ установил новый параметр CD2=") +
                            formatGeneral(cd2 * 0.1, 15, decimalSeparator()) + QStringLiteral("пФ"),
                        PromptIcon::Information);
        // Read the channel's constants back, so the window shows what the unit now holds.
        sender.SendCommandByte(54, channel);
    });
    dispatcher.setHandler(226, [&state, &prompter] {
        if (state.RxLength < 5)
            return;
        const std::uint8_t reason = state.RxFrame[3];
        if (reason == 1)
            prompter.inform(kMessageCaption,
                            QStringLiteral("Нет данных для вычислений, блок ТВМ должен хотя бы один раз опросить "
                                           "датчки на этом измерительном канале"),
                            PromptIcon::Error);
        else if (reason == 2)
            prompter.inform(kMessageCaption,
                            QStringLiteral("Вычисленное значение CD2 получается отрицательным, проверте настройку "
                                           "максимума или уточните значение влажности"),
                            PromptIcon::Error);
    });
}

}  // namespace kv7m
