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

// Stores `changed` as record `number` inside the open transaction and commits: when either fails,
// neither the record file nor the database keeps the change.
void storeAndCommit(RecordFile& records, qint32 number, const PetRecord& changed,
                    SqliteTransaction& transaction)
{
    const RecordFile::UndoPoint before = records.undoPoint(number);
    try {
        records.StoreRecord(number, changed);
    } catch (const Failure&) {
        // A write cut short (a full disk) may have left part of the record or a longer file.
        try {
            records.undo(before);
        } catch (const Failure&) {
            qWarning("The record file could not be put back after a failed store.");
        }
        throw;
    }
    try {
        transaction.commit();
    } catch (const Failure&) {
        records.undo(before);
        throw;
    }
}
