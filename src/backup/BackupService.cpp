#include "backup/BackupService.h"

#include "backup/ArchiveIndex.h"
#include "backup/BackupFailure.h"
#include "backup/Restore.h"
#include "backup/RestoreJournal.h"
#include "backup/WholeFile.h"
#include "platform/Clock.h"
#include "store/OwnerOnly.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// The data as it was before each of the newest restores; older ones are removed.
constexpr int KeptBeforeRestore = 5;

QString programVersion()
{
    return QCoreApplication::applicationVersion();
}

// restore-before-yyyyMMdd_HHmmss.zip, with -2, -3 … after it when a restore in the same second
// already took that name: each holds data that may exist nowhere else.
QString safetyArchivePath(const QDir& folder, const QDateTime& now)
{
    const QString stem = QStringLiteral("restore-before-") + now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = folder.filePath(stem + QStringLiteral(".zip"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1-%2.zip").arg(stem).arg(n));
    return path;
}

} // namespace

BackupService::BackupService(Clock& clock) : clock(clock)
{
    connect(&daily, &DailyBackup::failed, this, &BackupService::dailyBackupFailed);
}

BackupService::~BackupService() = default;

void BackupService::addExtraEntry(ExtraEntry entry)
{
    extras.append(std::move(entry));
}

QString BackupService::suggestedFileName() const
{
    return QStringLiteral("ソラニカ_バックアップ_") + clock.now().toString(QStringLiteral("yyyyMMdd_HHmm")) +
           QStringLiteral(".zip");
}

QString BackupService::createBackup(const QString& archivePath)
{
    const QDateTime now = clock.now();
    const DataSnapshot data = takeSnapshot(dataFolder(), extras);
    BackupArchive::write(archivePath, data, now, programVersion());
    return data.missingReason.isEmpty()
               ? QString()
               : BackupFailure::saleInformationLeftOut(data.missingReason).description();
}

BackupContents BackupService::open(const QString& archivePath) const
{
    const QString name = QFileInfo(archivePath).fileName();
    BackupContents contents = BackupArchive::decode(archivePath, name, dataNames());
    BackupArchive::checkData(contents, name);
    for (const ExtraEntry& extra : extras) {
        for (NamedBytes& file : contents.data.files) {
            if (extra.check && file.name == extra.name && !file.path.isEmpty()) {
                // What the backup held is needed no more once the clean file is there.
                const QString clean = file.path + QStringLiteral(".clean");
                extra.check(file.path, clean);
                QFile::remove(file.path);
                file.path = clean;
            }
        }
        const NamedBytes* file = contents.data.file(extra.name);
        contents.extraDataMissing = contents.extraDataMissing || !file || file->isEmpty();
    }
    return contents;
}

QString BackupService::restoreQuestion(const BackupContents& contents)
{
    QString question =
        QStringLiteral(
            "%1 の バックアップ (カルテ %2 件) に戻しますか？ 今のデータは自動的にバックアップされます。")
            .arg(contents.created.toLocalTime().toString(QStringLiteral("yyyy/MM/dd H:mm")))
            .arg(contents.recordCount());
    if (contents.extraDataMissing) {
        question +=
            QStringLiteral("\nこのバックアップには販売情報（マイクロチップ・購入者）が入っていません。"
                           "復元すると、今の販売情報は消えます。");
        if (!contents.data.missingReason.isEmpty())
            question += QStringLiteral("\n（バックアップを作ったとき：%1）").arg(contents.data.missingReason);
    }
    return question;
}

QString BackupService::restore(const BackupContents& contents)
{
    // The daily backup reads the same files; none of them may change under it.
    waitForDailyBackup();
    const QDir folder = dataFolder();
    // A restore interrupted earlier in this folder is finished first, so its journal and files
    // never mix with this one's.
    RestoreJournal::finishInterruptedRestore(folder);
    if (!OwnerOnly::makeFolder(backupFolder()))
        throw BackupFailure::safetyNotWritten(BackupFailure::backupFolder(DailyArchives::FolderName));
    const QDateTime now = clock.now();
    const QString safetyPath = safetyArchivePath(QDir(backupFolder()), now);
    const QString safetyName = QFileInfo(safetyPath).fileName();
    ArchiveIndex index{QDir(backupFolder()), dataNames()};

    // Read back from the disk, so nothing is replaced unless the way back is known to be whole.
    try {
        {
            // Gone before the file is read back, so the data is never held three times over.
            const DataSnapshot current = takeSnapshot(folder, extras);
            // Data that is there but cannot be read now would be lost: it is in no backup.
            if (current.missingDataIntact)
                throw Failure(current.missingReason);
            BackupArchive::write(safetyPath, current, now, programVersion());
        }
        const BackupContents previous = BackupArchive::decode(safetyPath, safetyName, dataNames());
        const std::optional<QByteArray> written = WholeFile::sha256(safetyPath);
        if (!written)
            throw BackupFailure::cannotReadArchive(safetyName);
        index.add({safetyName, written->toHex(), previous.data.fingerprint()});
    } catch (const Failure& cause) {
        throw BackupFailure::safetyNotWritten(cause);
    }
    replaceData(folder, extras, contents.data, folder.relativeFilePath(safetyPath));
    index.prune(ArchiveIndex::Kind::BeforeRestore, KeptBeforeRestore, safetyName);
    return safetyPath;
}

QString BackupService::backupFolder() const
{
    return dataFolder().filePath(DailyArchives::FolderName);
}

void BackupService::setDailyBackupEnabled(bool enabled)
{
    dailyEnabled = enabled;
}

void BackupService::startDailyBackup()
{
    if (!dailyEnabled)
        return;
    daily.start({dataFolder(), clock.now(), extras, programVersion()});
}

bool BackupService::isDailyBackupRunning() const
{
    return daily.isRunning();
}

void BackupService::waitForDailyBackup()
{
    daily.wait();
}

QString BackupService::lastDailyBackupFailure() const
{
    return daily.lastFailure();
}

QString BackupService::takeDailyBackupFailure()
{
    return daily.takeFailure();
}

QDir BackupService::dataFolder() const
{
    // Absolute: the daily backup's thread must not depend on the working directory later on.
    return QDir(QDir::currentPath());
}

QStringList BackupService::dataNames() const
{
    return dataFileNames(extras);
}
