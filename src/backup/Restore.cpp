#include "backup/Restore.h"

#include "backup/BackupFailure.h"
#include "backup/RestoreJournal.h"
#include "platform/DiskSync.h"
#include "store/RegularFile.h"
#include "store/ShopSettings.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

using RestoreJournal::Step;

// A target that is not a regular file (a folder, a device) is never replaced: it was never the
// shop's data, and the restore stops before anything changes.
void checkReplaceable(const QDir& folder, const QString& target, const QString& shown)
{
    const QFileInfo info(folder.filePath(target));
    if ((info.exists() || info.isSymLink()) && (!info.isFile() || info.isSymLink()))
        throw Failure::cannotWrite(shown);
}

// `content` is the new file's bytes, or the file that holds them.
void stage(const QDir& folder, const QString& target, const NamedBytes& content, const QString& shown,
           RegularFile::Readers readers = RegularFile::Readers::AsUmask)
{
    checkReplaceable(folder, target, shown);
    const QString path = folder.filePath(target) + RestoreJournal::NewSuffix;
    // The new file keeps the access rights the shop's file has, unless it is its owner's only.
    const QFileInfo existing(folder.filePath(target));
    const bool written = content.path.isEmpty() ? RegularFile::write(path, content.bytes, readers)
                                                : RegularFile::copy(path, content.path, readers);
    if (!written ||
        (readers == RegularFile::Readers::AsUmask && existing.isFile() &&
         !QFile::setPermissions(path, existing.permissions())) ||
        !syncFolderOf(path))
        throw Failure::cannotWrite(shown);
}

RegularFile::Readers readersOf(const QList<ExtraEntry>& extras, const QString& name)
{
    for (const ExtraEntry& extra : extras) {
        if (extra.name == name)
            return extra.readers;
    }
    return RegularFile::Readers::AsUmask;
}

bool isExtra(const QList<ExtraEntry>& extras, const QString& name)
{
    return std::any_of(extras.begin(), extras.end(),
                       [&](const ExtraEntry& extra) { return extra.name == name; });
}

// Writes every new file beside its target, adding to `steps` the steps that put them in place, so
// that a failure part of the way knows what to take away again.
void stageAll(const QDir& folder, const QList<ExtraEntry>& extras, const DataSnapshot& target,
              const QByteArray& settings, QList<Step>& steps)
{
    for (const QString& name : dataFileNames(extras)) {
        for (const ExtraEntry& extra : extras) {
            // Files that belong to the entry's old data (a database's logs) go before it is replaced.
            if (extra.name == name) {
                for (const QString& companion : extra.companions)
                    steps.append({companion, false});
            }
        }
        const NamedBytes* file = target.file(name);
        // An extra entry without bytes is data the backup did not hold: the file goes.
        if (file && !(file->isEmpty() && isExtra(extras, name))) {
            steps.append({name, true});
            stage(folder, name, *file, name, readersOf(extras, name));
        } else {
            steps.append({name, false});
        }
    }
    const QString path = ShopSettings::fileName();
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw Failure(QStringLiteral("設定を保存できません。"));
    steps.append({path, true});
    stage(folder, path, {path, settings}, QDir::toNativeSeparators(path));
}

} // namespace

void replaceData(const QDir& folder, const QList<ExtraEntry>& extras, const DataSnapshot& target,
                 const QString& safetyArchive)
{
    QList<Step> steps;
    try {
        const QByteArray settings = ShopSettings::fileBytesWith(target.shopSettings);
        stageAll(folder, extras, target, settings, steps);
        RestoreJournal::write(folder, {safetyArchive, steps});
        RestoreJournal::install(folder, {safetyArchive, steps});
    } catch (const Failure& cause) {
        RestoreJournal::discard(folder, steps);
        throw BackupFailure::restoreUndone(cause);
    } catch (const RestoreJournal::RestoreIncomplete& incomplete) {
        throw BackupFailure::restoreNotUndone(Failure(incomplete.cause), safetyArchive);
    }
}
