#include "backup/DailyBackup.h"

#include "backup/ArchiveIndex.h"
#include "backup/BackupArchive.h"
#include "backup/BackupFailure.h"
#include "platform/ThreadEnd.h"
#include "store/OwnerOnly.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>

namespace DailyArchives {

QString fileName(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".zip");
}

namespace {

// The day's name, or, when the day has archives already, yyyyMMdd-N.zip numbered on from the
// highest of them: a number freed by pruning is never taken again, so names follow the order.
QString freeName(const QDir& folder, const QDate& day)
{
    const QString stem = day.toString(QStringLiteral("yyyyMMdd"));
    const QRegularExpression sameDay(QStringLiteral("^%1(?:-([0-9]+))?\\.zip$").arg(stem));
    int highest = 0;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = sameDay.match(name);
        if (match.hasMatch())
            highest = std::max(highest, match.hasCaptured(1) ? match.captured(1).toInt() : 1);
    }
    return highest == 0 ? fileName(day) : QStringLiteral("%1-%2.zip").arg(stem).arg(highest + 1);
}

} // namespace

void write(const Job& job)
{
    const QString folderPath = job.dataFolder.filePath(FolderName);
    if (!OwnerOnly::makeFolder(folderPath))
        throw BackupFailure::backupFolder(FolderName);
    const QDir folder(folderPath);
    const QStringList dataNames = dataFileNames(job.extras);
    ArchiveIndex index(folder, dataNames);

    const DataSnapshot snapshot = takeSnapshot(job.dataFolder, job.extras);
    // The manifest says so too, and a restore of this archive asks with the reason.
    if (!snapshot.missingReason.isEmpty())
        qWarning("%s",
                 qUtf8Printable(BackupFailure::saleInformationLeftOut(snapshot.missingReason).description()));
    const QByteArray data = snapshot.fingerprint();
    const QString name = freeName(folder, job.now.date());
    const ArchiveIndex::Entry* newest = index.newest(ArchiveIndex::Kind::Daily);
    if (name != fileName(job.now.date()) && newest && newest->dataFingerprint == data)
        return;

    BackupArchive::writeFile(folder.filePath(name),
                             BackupArchive::encode(snapshot, job.now, job.programVersion));
    // Read back as a restore would: an archive that does not read back whole is not a backup,
    // and older ones are removed only once this one can stand in for them.
    const QByteArray written = BackupArchive::readFile(folder.filePath(name));
    BackupArchive::decode(written, name, dataNames);
    index.add({name, QCryptographicHash::hash(written, QCryptographicHash::Sha256).toHex(), data});
    index.prune(ArchiveIndex::Kind::Daily, Kept, name);
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
    wait();
    thread.reset(QThread::create([this, job = std::move(job)] {
        threadEnd.takeCurrentThread();
        run(job);
    }));
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
    threadEnd.wait();
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
