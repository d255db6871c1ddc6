#pragma once

#include "app/clock.h"

namespace kv7m::test {

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime at = QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9))) : time(std::move(at)) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};

}  // namespace kv7m::test
