#pragma once

#include "settings/settings_layout.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTimer;

namespace kv7m {

class FrameSender;
class Prompter;
class ReplyDispatcher;
class SettingsFile;
struct ProtocolState;

// The progress window of the long operations, and the busy cursor that goes with it.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void showProgress(const QString& caption, int maximum) = 0;
    virtual void setProgress(int position) = 0;
    virtual void closeProgress() = 0;
    virtual void setBusy(bool busy) = 0;
};

// The whole settings image moved at once, 128 bytes a request: read from the unit into its
// settings file, written from the file into the unit, or compared by signature. One transfer at a
// time; a unit that stops answering ends it after a few seconds, with the file untouched.
class WholeUnitTransfer : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultReplyTimeOutMs = 5000;

    // `handlingReply` tells whether a reply handler is running (its message box may hold the
    // replies back): the time-out then waits for it.
    WholeUnitTransfer(ProtocolState& state, FrameSender& sender, Prompter& prompter, SettingsFile& settingsFile,
                      ProgressDisplay& progress, std::function<std::optional<int>()> unitAddress,
                      std::function<bool()> handlingReply, QObject* parent = nullptr);
    ~WholeUnitTransfer() override;

    // Replies 86, 87 and 88.
    void registerReplies(ReplyDispatcher& dispatcher);

    // Menu "Прочитать все настройки", "Записать все настройки", "Сигнатура всех настроек ТВМ".
    void readAll();
    void writeAll();
    void verifyAll();

    bool isRunning() const { return m_operation != Operation::None; }
    int chunkIndex() const { return m_chunkIndex; }
    void setReplyTimeOutMs(int ms);

private:
    enum class Operation { None, Reading, Writing, Verifying };

    void onReadReply();
    void onWriteReply();
    void onSignatureReply();
    bool sendChunk(int index);
    void finish();
    void timedOut();

    ProtocolState& m_state;
    FrameSender& m_sender;
    Prompter& m_prompter;
    SettingsFile& m_settingsFile;
    ProgressDisplay& m_progress;
    std::function<std::optional<int>()> m_unitAddress;
    std::function<bool()> m_handlingReply;
    ReplyDispatcher* m_dispatcher = nullptr;
    QTimer* m_replyTimer;
    Operation m_operation = Operation::None;
    SettingsImage m_image{};
    int m_chunkIndex = 0;
};

namespace transfer_text {
inline const QString ReadQuestion = QStringLiteral("Прочитать все настройки ТВМ?");
inline const QString ReadCaption = QStringLiteral("Чтение настроек ТВМ");
inline const QString ReadDone = QStringLiteral("Настройки считаны и сохранены в файл.");
inline const QString WriteQuestion = QStringLiteral("Записать все настройки в ТВМ?");
inline const QString WriteCaption = QStringLiteral("Запись всех настроек в ТВМ");
inline const QString WriteDone = QStringLiteral("Все настройки записаны в ТВМ.");
inline const QString CannotReadFile = QStringLiteral("Не удается прочитать файл с настройками.");
inline const QString NoAnswer = QStringLiteral("ТВМ не отвечает. Операция прервана, файл настроек не изменен.");
}  // namespace transfer_text

}  // namespace kv7m
