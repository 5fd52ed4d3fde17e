#pragma once

#include "backup/BackupArchive.h"
#include "backup/DailyBackup.h"
#include "backup/DataSnapshot.h"

#include <QObject>
#include <QString>

class Clock;

// Everything the program does with backups, for the data files in the working directory and the
// shop settings: a backup file made on request, the daily automatic backup, and a restore that
// checks the file first and keeps the data as it was in a backup file of its own.
// Every call but the daily backup's work runs on the calling (user-interface) thread.
class BackupService : public QObject
{
    Q_OBJECT
public:
    explicit BackupService(Clock& clock);
    ~BackupService() override;

    // Another data file that goes into every backup from now on; see ExtraEntry.
    void addExtraEntry(ExtraEntry entry);

    // The name a save dialog proposes: ソラニカ_バックアップ_yyyyMMdd_HHmm.zip, at the clock's time.
    QString suggestedFileName() const;
    // Writes a backup file of the current data to `archivePath`. A failure leaves no file behind.
    // Returns what the shop must be told when the backup lacks the sale information it has (the
    // database locked, unreadable, damaged, newer); empty when nothing is missing.
    QString createBackup(const QString& archivePath);

    // Reads and checks a backup file; nothing on disk changes. Fails with a description naming the
    // file and what is wrong with it.
    BackupContents open(const QString& archivePath) const;
    // The question to ask before a restore: "yyyy/MM/dd H:mm の バックアップ (カルテ N 件) に戻しますか？ …".
    static QString restoreQuestion(const BackupContents& contents);
    // Puts the data `open` returned in place of the current data, after writing the current data to
    // バックアップ/restore-before-yyyyMMdd_HHmmss.zip. A failure part of the way puts the old data
    // back. Of those files the 5 newest are kept. Returns the path of that backup file. The screens
    // then read the data anew.
    QString restore(const BackupContents& contents);

    // The folder バックアップ beside the data files.
    QString backupFolder() const;

    // The daily backup: started once the start screen is shown, off the user-interface thread.
    // It writes nothing when today's archive is already there.
    void setDailyBackupEnabled(bool enabled);
    void startDailyBackup();
    bool isDailyBackupRunning() const;
    void waitForDailyBackup();
    // Why the last daily backup failed (also logged), empty when it did not. `take` forgets it, so
    // the shop is told once.
    QString lastDailyBackupFailure() const;
    QString takeDailyBackupFailure();

signals:
    // The daily backup failed; emitted on the user-interface thread.
    void dailyBackupFailed(const QString& description);

private:
    QDir dataFolder() const;
    QStringList dataNames() const;

    Clock& clock;
    QList<ExtraEntry> extras;
    DailyBackup daily;
    bool dailyEnabled = true;
};
