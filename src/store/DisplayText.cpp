#include "store/DisplayText.h"

QString withoutTrailingSpaces(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString birthDateText(const PetRecord& record)
{
    if (record.BirthYear == 0)
        return {};
    return QStringLiteral("%1/%2/%3").arg(record.BirthYear).arg(record.BirthMonth).arg(record.BirthDay);
}

QString dateText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/M/d")) : QString();
}
