#pragma once

#include <QByteArray>
#include <QStringList>
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kv7m {

struct ProtocolState;

// Line monitor "Данные на линии RS": the received bytes, the received frames, and the address and
// command code of the last frame, while recording is switched on (ProtocolState::MonitorOn).
class TDataRSForm : public QWidget {
    Q_OBJECT
public:
    // The monitors keep at most this many lines each; the oldest go first.
    static constexpr int kMaxLines = 20000;

    explicit TDataRSForm(ProtocolState& state, QWidget* parent = nullptr);

    // Fed by the receive pipeline only while MonitorOn is set.
    void byteReceived(std::uint8_t byte);
    // `frameText` is the frame's characters from ':' through CR LF.
    void frameReceived(const QByteArray& frameText);

    QPlainTextEdit* LineRSMemo;
    QPlainTextEdit* DataRS;
    QLineEdit* AdrBO;
    QLineEdit* MsgNum;
    QPushButton* ClearButton;
    QPushButton* RSDataReciv;

public slots:
    void toggleRecording();
    void clearAll();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Pending lines reach the memos in batches: a line per byte at 115200 baud would otherwise
    // keep the GUI thread busy redrawing.
    static constexpr int kFlushIntervalMs = 50;

    void scheduleFlush();
    void flushPending();
    void showRecordingState();

    ProtocolState& m_state;
    QTimer* m_flushTimer;
    QByteArray m_pendingBytes;
    QStringList m_pendingFrames;
};

}  // namespace kv7m
