#include "platform/Clock.h"

QString shortDateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString longTimeText(const QTime& time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

QString dateTimeText(const QDateTime& moment)
{
    return shortDateText(moment.date()) + QLatin1Char(' ') + longTimeText(moment.time());
}
