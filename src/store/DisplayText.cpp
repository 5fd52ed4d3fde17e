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
    // Put together by hand: formatting with arg() costs as much as decoding a record, in a list of thousands.
    return QString::number(record.BirthYear) + u'/' + QString::number(record.BirthMonth) + u'/' +
           QString::number(record.BirthDay);
}

QString dateText(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/M/d")) : QString();
}
