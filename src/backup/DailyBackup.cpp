#include "backup/DailyBackup.h"

#include "backup/ArchiveIndex.h"
#include "backup/BackupArchive.h"
#include "backup/BackupFailure.h"
#include "backup/WholeFile.h"
#include "platform/ThreadEnd.h"
#include "store/OwnerOnly.h"
#include "store/ShopSettings.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSaveFile>

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
    int highest = 0;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        highest = std::max(highest, ArchiveIndex::dailyNumber(name, day));
    return highest == 0
               ? fileName(day)
               : QStringLiteral("%1-%2.zip").arg(day.toString(QStringLiteral("yyyyMMdd"))).arg(highest + 1);
}

// Beside the archives: the name of the newest daily archive and the stamp of the data it holds.
const QString StampFileName = QStringLiteral(".soranika-daily-stamp");

// What every change of the data changes, read without reading the data: each data file's size and
// times, and the shop settings. Settled once no file was written in the last seconds: a write later
// within the same tick of the file times could leave the stamp as it was, so only a settled stamp is
// kept.
struct DataStamp
{
    QByteArray value;
    bool settled = true;
};

DataStamp dataStamp(const QDir& dataFolder, const QList<ExtraEntry>& extras)
{
    const QDateTime now = QDateTime::currentDateTime();
    DataStamp stamp;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList names = dataFileNames(extras);
    for (const ExtraEntry& extra : extras)
        names += extra.companions;
    for (const QString& name : names) {
        const QFileInfo file(dataFolder.filePath(name));
        hash.addData(name.toUtf8());
        if (file.exists()) {
            const QDateTime modified = file.lastModified();
            const QDateTime changed = file.metadataChangeTime();
            hash.addData(QByteArray::number(file.size()) + ' ' +
                         QByteArray::number(modified.toMSecsSinceEpoch()) + ' ' +
                         QByteArray::number(changed.toMSecsSinceEpoch()));
            stamp.settled = stamp.settled && modified.secsTo(now) > 2;
        }
        hash.addData(QByteArrayView("\n"));
    }
    for (const QString& key : ShopSettings::Keys)
        hash.addData(ShopSettings::get(key).toUtf8() + '\n');
    stamp.value = hash.result().toHex();
    return stamp;
}

QByteArray stampLine(const QString& archiveName, const DataStamp& stamp)
{
    return archiveName.toUtf8() + '\t' + stamp.value;
}

// Only a help to skip reading unchanged data: a stamp that cannot be kept costs the next start a
// full comparison, nothing more.
void keepStamp(const QDir& folder, const QString& archiveName, const DataStamp& stamp)
{
    QSaveFile file(folder.filePath(StampFileName));
    if (stamp.settled && file.open(QIODevice::WriteOnly)) {
        file.write(stampLine(archiveName, stamp));
        file.commit();
    } else {
        QFile::remove(folder.filePath(StampFileName));
    }
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

    // Every start but the first of a day finds the data as the newest archive holds it: known from the
    // files' sizes and times alone, without reading the data again. Taken before the data is read, so a
    // change while it is read shows at the next start.
    const QString name = freeName(folder, job.now.date());
    // The newest archive stands for the data only while it is still there.
    const ArchiveIndex::Entry* newest = index.newest(ArchiveIndex::Kind::Daily);
    if (newest && !QFileInfo::exists(folder.filePath(newest->name)))
        newest = nullptr;
    const DataStamp stamp = dataStamp(job.dataFolder, job.extras);
    if (name != fileName(job.now.date()) && newest &&
        WholeFile::read(folder.filePath(StampFileName), 4096) == stampLine(newest->name, stamp))
        return;

    const DataSnapshot snapshot = takeSnapshot(job.dataFolder, job.extras);
    // The manifest says so too, and a restore of this archive asks with the reason.
    if (!snapshot.missingReason.isEmpty())
        qWarning("%s",
                 qUtf8Printable(BackupFailure::saleInformationLeftOut(snapshot.missingReason).description()));
    const QByteArray data = snapshot.fingerprint();
    if (name != fileName(job.now.date()) && newest && newest->dataFingerprint == data) {
        keepStamp(folder, newest->name, stamp);
        return;
    }

    BackupArchive::write(folder.filePath(name), snapshot, job.now, job.programVersion);
    // Read back as a restore would: an archive that does not read back whole is not a backup,
    // and older ones are removed only once this one can stand in for them.
    BackupArchive::decode(folder.filePath(name), name, dataNames);
    const std::optional<QByteArray> written = WholeFile::sha256(folder.filePath(name));
    if (!written)
        throw BackupFailure::cannotReadArchive(name);
    index.add({name, written->toHex(), data});
    index.prune(ArchiveIndex::Kind::Daily, Kept, name);
    keepStamp(folder, name, stamp);
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
