#pragma once

#include "sim/unit_model.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <deque>
#include <random>

namespace kv7m::sim {

// Faults of the line between the PC and the simulated unit; every one is off by default.
struct LineFaults {
    // Ordinals (1 = first) of replies that are never sent, and of replies whose LRC is spoilt.
    QSet<int> dropReplies;
    QSet<int> corruptLrcReplies;
    // Extra time before a reply starts.
    int replyDelayMs = 0;
    // Output goes out in pieces of this many bytes, with a pause between pieces.
    int splitBytes = 0;
    int splitPauseMs = 0;
    // Junk characters before every frame.
    bool noise = false;
    // Both directions take their wire time at this rate (10 bits per character); 0: no pacing.
    int baud = 0;
};

// The unit model on a line: takes the PC's bytes as they arrive, answers with the line's timing
// and faults, and sends what the unit sends by itself. Output always leaves from the event loop,
// never from inside the call that delivered the PC's bytes.
class SimulatedUnit : public QObject {
    Q_OBJECT
public:
    explicit SimulatedUnit(const UnitOptions& options, const LineFaults& faults = {}, QObject* parent = nullptr);

    UnitModel& model() { return m_model; }
    LineFaults& faults() { return m_faults; }
    // Model time: milliseconds since the unit was created.
    qint64 nowMs() const { return m_clock.elapsed(); }
    int repliesProduced() const { return m_replyCount; }

    // Bytes the PC put on the line.
    void receiveFromLine(const QByteArray& bytes);
    // Puts a frame the PC never asks for (76, 98, 226, 181, 190) on the line.
    void sendFrame(const QByteArray& wireFrame);

signals:
    void transmit(const QByteArray& bytes);

private:
    struct Pending {
        qint64 dueUs;
        QByteArray bytes;
    };

    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }
    qint64 wireUs(qsizetype chars) const;
    void take(std::vector<Emission> emissions, qint64 atUs);
    void enqueueOutput(QByteArray bytes, qint64 earliestUs);
    void run();
    void schedule();

    UnitModel m_model;
    LineFaults m_faults;
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::mt19937 m_rng;
    std::deque<Pending> m_input;
    std::deque<Pending> m_output;
    qint64 m_inputLineFreeUs = 0;
    qint64 m_outputLineFreeUs = 0;
    int m_replyCount = 0;
};

}  // namespace kv7m::sim
