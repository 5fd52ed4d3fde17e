#include "platform/Clock.h"

#include <cstdio>

QString shortDateText(const QDate& date)
{
    // Written out by hand: a date format is parsed again at each use, and the care table of a full shop
    // shows tens of thousands of dates.
    if (!date.isValid())
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year(), date.month(), date.day());
    return QString::fromLatin1(text);
}

QString longTimeText(const QTime& time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

QString dateTimeText(const QDateTime& moment)
{
    return shortDateText(moment.date()) + QLatin1Char(' ') + longTimeText(moment.time());
}
