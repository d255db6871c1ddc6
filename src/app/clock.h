#pragma once

#include <QDateTime>

namespace kv7m {

// The PC's clock, injectable so that time-dependent behaviour can be tested at a fixed time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace kv7m
