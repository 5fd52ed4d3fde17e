#pragma once

#include "platform/Clock.h"

#include <QDateTime>

// A clock that stands still until the test sets or advances it.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime time) : time(std::move(time)) {}
    QDateTime now() const override { return time; }
    void set(const QDateTime& value) { time = value; }
    void advance(qint64 seconds) { time = time.addSecs(seconds); }

private:
    QDateTime time;
};
