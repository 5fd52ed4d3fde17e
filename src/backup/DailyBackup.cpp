#include "backup/DailyBackup.h"

#include "backup/BackupArchive.h"
#include "backup/BackupFailure.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>

namespace DailyArchives {

QString fileName(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".zip");
}

bool isDailyName(const QString& fileName)
{
    static const QRegularExpression daily(QStringLiteral("^([0-9]{8})\\.zip$"));
    const QRegularExpressionMatch match = daily.match(fileName);
    return match.hasMatch() && QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd")).isValid();
}

void prune(const QDir& folder, const QString& keep)
{
    QStringList daily;
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::NoSymLinks)) {
        if (isDailyName(file.fileName()))
            daily.append(file.fileName());
    }
    // The name is the date: newest first.
    std::sort(daily.begin(), daily.end(), std::greater<>());
    for (qsizetype i = Kept; i < daily.size(); ++i) {
        if (daily[i] != keep)
            QFile::remove(folder.filePath(daily[i]));
    }
}

void write(const Job& job)
{
    const QString folderPath = job.dataFolder.filePath(FolderName);
    if (!QDir().mkpath(folderPath))
        throw BackupFailure::backupFolder(FolderName);
    const QDir folder(folderPath);
    const QString name = fileName(job.now.date());
    if (QFileInfo::exists(folder.filePath(name)))
        return;

    const DataSnapshot snapshot = takeSnapshot(job.dataFolder, job.extras);
    // The manifest says so too, and a restore of this archive asks with the reason.
    if (!snapshot.missingReason.isEmpty())
        qWarning("%s",
                 qUtf8Printable(BackupFailure::saleInformationLeftOut(snapshot.missingReason).description()));
    BackupArchive::writeFile(folder.filePath(name),
                             BackupArchive::encode(snapshot, job.now, job.programVersion));
    // Read back as a restore would: an archive that does not read back whole is not a backup,
    // and older ones are removed only once today's can stand in for them.
    BackupArchive::decode(BackupArchive::readFile(folder.filePath(name)), name, dataFileNames(job.extras));
    prune(folder, name);
}

} // namespace DailyArchives

DailyBackup::~DailyBackup()
{
    wait();
}

void DailyBackup::start(DailyArchives::Job job)
{
    if (isRunning())
        return;
    thread.reset(QThread::create([this, job = std::move(job)] { run(job); }));
    connect(thread.get(), &QThread::finished, this, &DailyBackup::reportFinished);
    // Only the time the computer has to spare: the screens never wait for the backup. When the
    // program ends, that is all the time there is, and the end waits for it.
    thread->start(QThread::IdlePriority);
}

bool DailyBackup::isRunning() const
{
    return thread && thread->isRunning();
}

void DailyBackup::wait()
{
    if (thread)
        thread->wait();
}

QString DailyBackup::lastFailure() const
{
    const QMutexLocker locked(&guard);
    return failure;
}

QString DailyBackup::takeFailure()
{
    const QMutexLocker locked(&guard);
    return std::exchange(failure, QString());
}

void DailyBackup::run(const DailyArchives::Job& job)
{
    QString description;
    try {
        DailyArchives::write(job);
    } catch (const Failure& cause) {
        description = BackupFailure::dailyBackupFailed(cause).description();
    } catch (const std::exception&) {
        description =
            BackupFailure::dailyBackupFailed(Failure(QStringLiteral("予期しないエラーが発生しました。")))
                .description();
    }
    if (!description.isEmpty())
        qWarning().noquote() << description;
    const QMutexLocker locked(&guard);
    failure = description;
}

void DailyBackup::reportFinished()
{
    const QString description = lastFailure();
    if (!description.isEmpty())
        emit failed(description);
}
