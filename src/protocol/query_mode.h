#pragma once

#include <QObject>

class QTimer;

namespace kv7m {

class CellGrid;
class FrameSender;
struct ProtocolState;

// How measurement records reach the program: the unit sends them by itself (active mode, at
// start), or the program polls the channels one after another (query mode), marking a channel
// that does not answer within the reply time-out.
class QueryMode : public QObject {
    Q_OBJECT
public:
    QueryMode(ProtocolState& state, FrameSender& sender, CellGrid& systemTable, QObject* parent = nullptr);

    bool isQueryMode() const { return m_queryMode; }

    // Menu "Режим запроса информации" and menu "БО активен".
    void enterQueryMode();
    void enterActiveMode();
    // A record of reply 52 was accepted and shown.
    void recordAccepted();
    // Ticks of the two timers.
    void queryTick();
    void sendNextRequest();

    QTimer* QerryTimer;
    QTimer* TimerSendCMD52;

signals:
    void modeChanged(bool queryMode);

private:
    void advanceChannel();

    ProtocolState& m_state;
    FrameSender& m_sender;
    CellGrid& m_grid;
    bool m_queryMode = false;
};

namespace query_text {
inline const QString NotAnswering = QStringLiteral("ТВМ не отвечает");
}

}  // namespace kv7m
