#include "settings/whole_unit_transfer.h"

#include "app/prompter.h"
#include "link/frame_sender.h"
#include "protocol/protocol_state.h"
#include "protocol/reply_dispatcher.h"
#include "settings/settings_file.h"
#include "settings/signature.h"
#include "settings/signature_check.h"

#include <QTimer>

namespace kv7m {

namespace {

constexpr std::uint8_t kWriteChunk = 86;
constexpr std::uint8_t kReadChunk = 87;
constexpr std::uint8_t kImageSignature = 88;
// Index 220 closes the exchange; it names no chunk of the image.
constexpr int kLastIndex = int(layout::kChunkCount);

}  // namespace

WholeUnitTransfer::WholeUnitTransfer(ProtocolState& state, FrameSender& sender, Prompter& prompter,
                                     SettingsFile& settingsFile, ProgressDisplay& progress,
                                     std::function<std::optional<int>()> unitAddress,
                                     std::function<bool()> handlingReply, QObject* parent)
    : QObject(parent),
      m_state(state),
      m_sender(sender),
      m_prompter(prompter),
      m_settingsFile(settingsFile),
      m_progress(progress),
      m_unitAddress(std::move(unitAddress)),
      m_handlingReply(std::move(handlingReply)),
      m_replyTimer(new QTimer(this))
{
    m_replyTimer->setObjectName(QStringLiteral("WholeUnitReplyTimer"));
    m_replyTimer->setSingleShot(true);
    m_replyTimer->setInterval(kDefaultReplyTimeOutMs);
    connect(m_replyTimer, &QTimer::timeout, this, &WholeUnitTransfer::timedOut);
}

WholeUnitTransfer::~WholeUnitTransfer()
{
    // No reply may reach a transfer that is gone.
    if (m_dispatcher) {
        for (const std::uint8_t code : {kReadChunk, kWriteChunk, kImageSignature})
            m_dispatcher->setHandler(code, {});
    }
    if (m_operation != Operation::None)
        m_progress.setBusy(false);
}

void WholeUnitTransfer::setReplyTimeOutMs(int ms)
{
    m_replyTimer->setInterval(ms);
}

void WholeUnitTransfer::registerReplies(ReplyDispatcher& dispatcher)
{
    m_dispatcher = &dispatcher;
    dispatcher.setHandler(kReadChunk, [this] { onReadReply(); });
    dispatcher.setHandler(kWriteChunk, [this] { onWriteReply(); });
    dispatcher.setHandler(kImageSignature, [this] { onSignatureReply(); });
}

void WholeUnitTransfer::readAll()
{
    if (!m_prompter.askYesNo(kMessageCaption, transfer_text::ReadQuestion, PromptIcon::Information))
        return;
    m_chunkIndex = 0;
    if (!m_sender.SendCommandByte(kReadChunk, 0))
        return;
    m_operation = Operation::Reading;
    m_progress.showProgress(transfer_text::ReadCaption, kLastIndex);
    m_progress.setBusy(true);
    m_replyTimer->start();
}

void WholeUnitTransfer::writeAll()
{
    if (!m_prompter.askYesNo(kMessageCaption, transfer_text::WriteQuestion, PromptIcon::Information))
        return;
    m_chunkIndex = 0;
    const std::optional<int> unit = m_unitAddress();
    if (!unit)
        return;
    // Without the file there is nothing to write, and no transfer to show.
    if (!m_settingsFile.ReadSettingsBlock(*unit, 0, m_image.data(), m_image.size())) {
        m_prompter.inform(kMessageCaption, transfer_text::CannotReadFile, PromptIcon::Error);
        return;
    }
    if (!sendChunk(0))
        return;
    m_operation = Operation::Writing;
    m_progress.showProgress(transfer_text::WriteCaption, kLastIndex);
    m_progress.setBusy(true);
    m_replyTimer->start();
}

void WholeUnitTransfer::verifyAll()
{
    // During a chunk transfer the check goes out too; its answer is compared whenever it comes.
    const bool idle = m_operation == Operation::None;
    if (idle)
        m_progress.setBusy(true);
    if (!m_sender.SendCommandNoData(kImageSignature)) {
        if (idle)
            m_progress.setBusy(false);
        return;
    }
    if (idle) {
        m_operation = Operation::Verifying;
        m_replyTimer->start();
    }
}

bool WholeUnitTransfer::sendChunk(int index)
{
    m_chunkIndex = index;
    std::uint8_t data[1 + layout::kChunkSize];
    data[0] = std::uint8_t(index);
    for (std::size_t i = 0; i < layout::kChunkSize; ++i)
        data[1 + i] = index < kLastIndex ? m_image[std::size_t(index) * layout::kChunkSize + i] : 0xFF;
    return m_sender.SendCommandData(kWriteChunk, data, sizeof data);
}

void WholeUnitTransfer::onReadReply()
{
    // A reply of a transfer that already ended (late, or after the time-out) starts nothing.
    if (m_operation != Operation::Reading)
        return;
    if (m_state.RxLength < 3 + 1 + int(layout::kChunkSize))
        return;
    const int n = m_state.RxFrame[2];
    // Only the chunk just asked for: a stray reply must not skip chunks of the image.
    if (n != m_chunkIndex)
        return;
    if (n < kLastIndex) {
        for (std::size_t i = 0; i < layout::kChunkSize; ++i)
            m_image[std::size_t(n) * layout::kChunkSize + i] = m_state.RxFrame[3 + i];
    }
    m_progress.setProgress(n);
    if (n < kLastIndex) {
        m_chunkIndex = n + 1;
        m_sender.SendCommandByte(kReadChunk, std::uint8_t(m_chunkIndex));
        m_replyTimer->start();
        return;
    }
    const int unit = m_state.RxFrame[0];
    m_operation = Operation::None;
    m_replyTimer->stop();
    m_progress.closeProgress();
    // The file is written only now, whole: an interrupted read leaves it as it was.
    const bool stored = m_settingsFile.WriteSettingsBlock(unit, 0, m_image.data(), m_image.size());
    m_progress.setBusy(false);
    if (stored)
        m_prompter.inform(kMessageCaption, transfer_text::ReadDone, PromptIcon::Information);
}

void WholeUnitTransfer::onWriteReply()
{
    if (m_operation != Operation::Writing || m_state.RxLength < 4)
        return;
    const int n = m_state.RxFrame[2];
    if (n != m_chunkIndex)
        return;
    m_progress.setBusy(false);
    m_progress.setProgress(n);
    if (n < kLastIndex) {
        sendChunk(n + 1);
        m_replyTimer->start();
        return;
    }
    finish();
    m_prompter.inform(kMessageCaption, transfer_text::WriteDone, PromptIcon::Information);
}

void WholeUnitTransfer::onSignatureReply()
{
    if (m_operation == Operation::Verifying) {
        m_operation = Operation::None;
        m_replyTimer->stop();
        m_progress.setBusy(false);
    }
    if (m_state.RxLength < 5)
        return;
    const int unitSignature = m_state.RxFrame[2] * 256 + m_state.RxFrame[3];
    SettingsImage image;
    if (!m_settingsFile.ReadSettingsBlock(m_state.RxFrame[0], 0, image.data(), image.size())) {
        m_prompter.inform(kMessageCaption, transfer_text::CannotReadFile, PromptIcon::Error);
        return;
    }
    reportSignatureCheck(m_prompter, unitSignature, ComputeSignature(image.data(), image.size()));
}

void WholeUnitTransfer::finish()
{
    m_operation = Operation::None;
    m_replyTimer->stop();
    m_progress.closeProgress();
    m_progress.setBusy(false);
}

void WholeUnitTransfer::timedOut()
{
    if (m_operation == Operation::None)
        return;
    // A message box of another reply holds the line's frames back; the unit may well have answered.
    if (m_handlingReply && m_handlingReply()) {
        m_replyTimer->start();
        return;
    }
    finish();
    m_prompter.inform(kMessageCaption, transfer_text::NoAnswer, PromptIcon::Error);
}

}  // namespace kv7m
