#pragma once

#include "backup/DataSnapshot.h"
#include "platform/ThreadEnd.h"

#include <QDateTime>
#include <QDir>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

// The daily archives in the folder バックアップ beside the data files: yyyyMMdd.zip, or
// yyyyMMdd-2.zip, -3 … when that day already has one. Only the archives the program wrote are
// removed, beyond the 14 newest in the order they were written (ArchiveIndex): a clock that is
// wrong never costs the newest backups, and files the user put there are never touched.
namespace DailyArchives {

inline const QString FolderName = QStringLiteral("バックアップ");
constexpr int Kept = 14;

QString fileName(const QDate& day);

// What one run of the daily backup needs, all taken on the thread that starts it.
struct Job
{
    QDir dataFolder;
    QDateTime now;
    QList<ExtraEntry> extras;
    QString programVersion;
};

// Writes the day's archive, checks it as written, then prunes. When the day has an archive already
// and the newest archive holds the data as it is now, nothing is written; when the data has changed
// since, it goes into the day's next archive, so a clock that stands still still backs up every
// change. Reads bytes and never converts text, so any thread may run it.
void write(const Job& job);

} // namespace DailyArchives

// Runs the daily backup on a thread of its own, so the start screen never waits for it. The
// program waits for it, until the system has ended its thread, before it ends: the destructor does.
class DailyBackup : public QObject
{
    Q_OBJECT
public:
    DailyBackup() = default;
    ~DailyBackup() override;

    // Starts `job` unless a run is still going.
    void start(DailyArchives::Job job);
    bool isRunning() const;
    // Returns once the run, if any, has finished.
    void wait();

    // The description of the last run's failure, empty when it did not fail.
    QString lastFailure() const;
    // The same, forgotten once taken, so the shop is told only once.
    QString takeFailure();

signals:
    // On the thread that started the run, once it has ended.
    void failed(const QString& description);

private:
    void run(const DailyArchives::Job& job);
    void reportFinished();

    std::unique_ptr<QThread> thread;
    ThreadEnd threadEnd;
    mutable QMutex guard;
    QString failure;
};
