#pragma once

#include "store/SqliteConnection.h"

#include <QDate>
#include <QSqlQuery>
#include <QVariant>

class RecordFile;
struct PetRecord;

// Pieces shared by the classes that keep their rows in soranika.db.

// A connection to soranika.db brought up to the current version.
class SaleDatabase : public SqliteConnection
{
public:
    SaleDatabase(const QString& path, const QString& shownName, int busyTimeoutMs = 5000);
};

// A chart number the record file can hold; a failure saying why otherwise.
void checkRecordNumber(qint32 number);

// Dates are kept as ISO text; an invalid date as NULL.
QVariant sqlDate(const QDate& date);
QDate dateFrom(const QVariant& value);

// A query's rows end at the first failure to step; that failure is the caller's.
void checkFinished(const QSqlQuery& query, const QString& shownName);

// Stores `changed` as record `number` inside the open transaction and commits: when either fails,
// neither the record file nor the database keeps the change.
void storeAndCommit(RecordFile& records, qint32 number, const PetRecord& changed,
                    SqliteTransaction& transaction);
