#include "store/SaleDatabase.h"

#include "store/Failure.h"
#include "store/RecordFile.h"
#include "store/SaleSchema.h"

#include <QSqlError>

SaleDatabase::SaleDatabase(const QString& path, const QString& shownName, int busyTimeoutMs)
    : SqliteConnection(path, shownName, busyTimeoutMs)
{
    SaleSchema::migrate(*this);
}

void checkRecordNumber(qint32 number)
{
    if (number > RecordFile::MaxRecords)
        throw Failure::overflow();
    if (number < 1)
        throw Failure::badRecordNumber();
}

QVariant sqlDate(const QDate& date)
{
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

QDate dateFrom(const QVariant& value)
{
    return QDate::fromString(value.toString(), Qt::ISODate);
}

void checkFinished(const QSqlQuery& query, const QString& shownName)
{
    if (query.lastError().isValid())
        throw Failure(QStringLiteral("データベースを読み込めません。 (%1)").arg(shownName));
}
