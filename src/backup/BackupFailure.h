#pragma once

#include "store/Failure.h"

#include <QString>

// The descriptions of what a backup or a restore could not do. `archive` is the backup file's name
// as the user knows it; `entry` is a file inside it.
namespace BackupFailure {

Failure cannotReadArchive(const QString& archive);
Failure cannotWriteArchive(const QString& archive);
Failure tooLarge(const QString& archive);
Failure notZip(const QString& archive);
Failure brokenZip(const QString& archive);
Failure noManifest(const QString& archive);
Failure badManifest(const QString& archive, const QString& what);
Failure newerFormat(const QString& archive);
Failure missingEntry(const QString& archive, const QString& entry);
Failure unknownEntry(const QString& archive, const QString& entry);
Failure brokenEntry(const QString& archive, const QString& entry, const QString& why);
Failure entryTooLarge(const QString& archive, const QString& entry, const QString& limit);
Failure partialRecord(const QString& archive, qint64 size);
Failure tooManyRecords(const QString& archive, qint64 count);
Failure notShiftJis(const QString& archive, const QString& entry, qint64 offset);
Failure tooManyItems(const QString& archive, const QString& entry);
Failure badShopIni(const QString& archive);
Failure backupFolder(const QString& folder);

// A restore that stopped before changing anything: the current data could not be backed up first.
Failure safetyNotWritten(const Failure& cause);
// A restore that failed and put the old data back, and one that could not even do that.
Failure restoreUndone(const Failure& cause);
Failure restoreNotUndone(const Failure& cause, const QString& safetyArchive);

// A backup written without the sale information, for the reason given.
Failure saleInformationLeftOut(const QString& reason);

// The daily backup's failure, as the shop is told of it later.
Failure dailyBackupFailed(const Failure& cause);

} // namespace BackupFailure
