#pragma once

#include <QDateTime>
#include <QString>

// Where the screens get the time from, so tests can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The Japanese system formats: short date 2026/12/07, long time 9:05:03.
QString shortDateText(const QDate& date);
QString longTimeText(const QTime& time);
// Short date, a space, long time.
QString dateTimeText(const QDateTime& moment);
