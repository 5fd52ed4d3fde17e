#pragma once

#include "backup/DataSnapshot.h"

#include <QDateTime>
#include <QDir>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

// The daily archives in the folder バックアップ beside the data files: yyyyMMdd.zip, the 14 newest
// kept. Other files there (restore-before-*.zip, the user's own) are never touched.
namespace DailyArchives {

inline const QString FolderName = QStringLiteral("バックアップ");
constexpr int Kept = 14;

QString fileName(const QDate& day);
bool isDailyName(const QString& fileName);

// Removes the daily archives of `folder` beyond the `Kept` newest, never `keep`.
void prune(const QDir& folder, const QString& keep);

// What one run of the daily backup needs, all taken on the thread that starts it.
struct Job
{
    QDir dataFolder;
    QDateTime now;
    QList<ExtraEntry> extras;
    QString programVersion;
};

// Writes the day's archive unless the folder already holds it, checks it as written, then prunes.
// Reads bytes and never converts text, so any thread may run it.
void write(const Job& job);

} // namespace DailyArchives

// Runs the daily backup on a thread of its own, so the start screen never waits for it. The
// program waits for it before it ends: the destructor does.
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
    mutable QMutex guard;
    QString failure;
};
