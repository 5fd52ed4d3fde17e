#include "backup/RestoreJournal.h"

#include "backup/DailyBackup.h"
#include "backup/DataSnapshot.h"
#include "platform/DiskSync.h"
#include "store/Failure.h"
#include "store/PickListFile.h"
#include "store/ShopFiles.h"
#include "store/ShopSettings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <filesystem>
#include <system_error>

namespace RestoreJournal {

namespace {

const QByteArray Magic("SRNKRST1");
constexpr qsizetype HashLength = 32;

QByteArray hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Replaces `to` by `from` in one step, as the system renames.
bool renameOver(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    return !error;
}

bool isRegularFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

bool isThere(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString shownName(const QDir& folder, const QString& target)
{
    return QFileInfo(target).isAbsolute() ? QDir::toNativeSeparators(target)
                                          : folder.relativeFilePath(target);
}

void syncFolders(const QDir& folder, const QStringList& targets)
{
    QSet<QString> done;
    for (const QString& target : targets) {
        const QString path = folder.filePath(target);
        const QString parent = QFileInfo(path).absolutePath();
        if (!done.contains(parent))
            syncFolderOf(path);
        done.insert(parent);
    }
    syncFolderOf(folder.filePath(FileName));
}

QStringList targetsOf(const QList<Step>& steps)
{
    QStringList targets;
    for (const Step& step : steps)
        targets.append(step.target);
    return targets;
}

bool removeIfThere(const QString& path)
{
    return !isThere(path) || QFile::remove(path);
}

// Moves target aside, then the new file into its place (or only aside, for a target that goes).
// Only a regular file is moved aside: anything else under that name was never the shop's.
void installStep(const QDir& folder, const Step& step)
{
    const QString target = folder.filePath(step.target);
    const bool waiting = step.replaced && isThere(target + NewSuffix);
    if (isRegularFile(target)) {
        if (!renameOver(target, target + OldSuffix))
            throw Failure::cannotWrite(shownName(folder, step.target));
    } else if (waiting) {
        QFile absent(target + AbsentSuffix);
        if (!absent.open(QIODevice::WriteOnly))
            throw Failure::cannotWrite(shownName(folder, step.target));
    }
    if (waiting && !renameOver(target + NewSuffix, target))
        throw Failure::cannotWrite(shownName(folder, step.target));
}

// The reverse of installStep: the new file goes back to waiting, the old one back into place.
bool undoStep(const QDir& folder, const Step& step)
{
    const QString target = folder.filePath(step.target);
    if (step.replaced && isRegularFile(target) && !isThere(target + NewSuffix) &&
        !renameOver(target, target + NewSuffix))
        return false;
    return removeIfThere(target + AbsentSuffix) &&
           (!isThere(target + OldSuffix) || renameOver(target + OldSuffix, target));
}

void removeLeftovers(const QDir& folder, const QStringList& targets)
{
    for (const QString& target : targets) {
        removeIfThere(folder.filePath(target) + OldSuffix);
        removeIfThere(folder.filePath(target) + AbsentSuffix);
    }
}

// Whatever a restore may have left in the data folder and beside the settings file.
QStringList leftoversWith(const QDir& folder, const QString& suffix)
{
    QStringList found;
    // Compared by hand: a wildcard is a regular expression, whose library every start would load for this.
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (name.endsWith(suffix))
            found.append(folder.filePath(name));
    }
    const QString settings = ShopSettings::fileName() + suffix;
    if (QFileInfo(settings).isFile())
        found.append(settings);
    return found;
}

// A journal this program wrote: a backup of the data as it was that is there, only the shop's own
// files, each once, and the record file and the settings file replaced, as every restore does.
bool isOurs(const QDir& folder, const Journal& journal)
{
    static const QRegularExpression safetyName(
        QRegularExpression::anchoredPattern(QStringLiteral("restore-before-\\d{8}_\\d{6}(-\\d+)?\\.zip")));
    const QFileInfo safety(journal.safetyArchive);
    if (safety.path() != DailyArchives::FolderName || !safetyName.match(safety.fileName()).hasMatch() ||
        !isRegularFile(folder.filePath(journal.safetyArchive)))
        return false;
    const QStringList allowed = shopFiles();
    QSet<QString> named;
    for (const Step& step : journal.steps) {
        if (!allowed.contains(step.target) || named.contains(step.target))
            return false;
        named.insert(step.target);
        if ((step.target == ShopFiles::Records || step.target == ShopSettings::fileName()) && !step.replaced)
            return false;
    }
    return named.contains(ShopFiles::Records) && named.contains(ShopSettings::fileName());
}

// Every file the journal puts in place is there to be put: its new file waits, or it is in place.
bool canFinish(const QDir& folder, const Journal& journal)
{
    for (const Step& step : journal.steps) {
        const QString target = folder.filePath(step.target);
        if (step.replaced && !isThere(target + NewSuffix) && !isRegularFile(target))
            return false;
    }
    return true;
}

QString finish(const QDir& folder, const Journal& journal)
{
    for (const Step& step : journal.steps) {
        const QString target = folder.filePath(step.target);
        // A file that goes is moved aside like the others, and removed only once all are in place.
        if (step.replaced ? isThere(target + NewSuffix) && !renameOver(target + NewSuffix, target)
                          : isRegularFile(target) && !renameOver(target, target + OldSuffix))
            throw Failure(QStringLiteral("前回の復元が途中で止まっていましたが、最後まで復元できません"
                                         "でした。次に起動したときにもう一度試します。\n%1")
                              .arg(Failure::cannotWrite(shownName(folder, step.target)).description()));
    }
    syncFolders(folder, targetsOf(journal.steps));
    QFile::remove(folder.filePath(FileName));
    syncFolderOf(folder.filePath(FileName));
    removeLeftovers(folder, shopFiles());
    return QStringLiteral("前回の復元が途中で止まっていたため、復元を最後まで行いました。"
                          "復元する前のデータは %1 に残っています。")
        .arg(QDir::toNativeSeparators(journal.safetyArchive));
}

// The newest backup of the data as it was before a restore, for the shop to restore by hand.
QString newestSafetyArchive(const QDir& folder)
{
    QStringList names = QDir(folder.filePath(DailyArchives::FolderName))
                            .entryList({QStringLiteral("restore-before-*.zip")}, QDir::Files);
    if (names.isEmpty())
        return {};
    names.sort();
    return QDir::toNativeSeparators(DailyArchives::FolderName + QLatin1Char('/') + names.last());
}

// Without a journal to go by, each of the shop's files is taken back on its own: a file moved
// aside comes back, a file that was not there before goes, and a new file still waiting is dropped.
// True when a restore had left anything. Fails, naming the backup of the old data, when a file
// cannot be put back; what is left then stays for the next start.
bool takeBack(const QDir& folder)
{
    bool found = false;
    QStringList failed;
    for (const QString& name : shopFiles()) {
        const QString target = folder.filePath(name);
        const bool old = isThere(target + OldSuffix);
        const bool absent = isThere(target + AbsentSuffix);
        const bool waiting = isThere(target + NewSuffix);
        found = found || old || absent || waiting;
        const bool back = old ? isRegularFile(target + OldSuffix) && renameOver(target + OldSuffix, target)
                              : !absent || !isRegularFile(target) || QFile::remove(target);
        if (!back || !removeIfThere(target + AbsentSuffix) || !removeIfThere(target + NewSuffix))
            failed.append(shownName(folder, name));
    }
    syncFolders(folder, shopFiles());
    if (failed.isEmpty())
        return found;
    const QString archive = newestSafetyArchive(folder);
    throw Failure(
        QStringLiteral("前回の復元が途中で止まっていましたが、復元の記録（%1）が使えないため、"
                       "元のデータに戻せませんでした（%2）。\n次に起動したときにもう一度試します。%3")
            .arg(FileName, failed.join(QStringLiteral("、")),
                 archive.isEmpty()
                     ? QString()
                     : QStringLiteral(
                           "元に戻らないときは、復元する前のデータが残っている %1 を"
                           "「ファイル」メニューの「バックアップから復元」で選んで復元してください。")
                           .arg(archive)));
}

} // namespace

QStringList shopFiles()
{
    QStringList files{ShopFiles::Records};
    for (const QString& list : PickListFile::FileNames)
        files.append(list);
    for (const char* log : {"-wal", "-shm", "-journal"})
        files.append(ShopFiles::SaleDatabase + QLatin1String(log));
    files.append(ShopFiles::SaleDatabase);
    files.append(ShopSettings::fileName());
    return files;
}

QByteArray encode(const Journal& journal)
{
    QJsonArray steps;
    for (const Step& step : journal.steps)
        steps.append(QJsonObject{{QStringLiteral("target"), step.target},
                                 {QStringLiteral("replaced"), step.replaced}});
    const QJsonObject object{{QStringLiteral("safetyArchive"), journal.safetyArchive},
                             {QStringLiteral("steps"), steps}};
    const QByteArray bytes = Magic + QJsonDocument(object).toJson(QJsonDocument::Compact);
    return bytes + hashOf(bytes);
}

std::optional<Journal> decode(const QByteArray& bytes)
{
    if (bytes.size() < Magic.size() + HashLength || !bytes.startsWith(Magic) ||
        hashOf(bytes.chopped(HashLength)) != bytes.right(HashLength))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.chopped(HashLength).mid(Magic.size()));
    if (!document.isObject())
        return std::nullopt;
    Journal journal{document.object().value(QStringLiteral("safetyArchive")).toString(), {}};
    for (const QJsonValue& value : document.object().value(QStringLiteral("steps")).toArray()) {
        const QJsonObject step = value.toObject();
        const QString target = step.value(QStringLiteral("target")).toString();
        if (target.isEmpty())
            return std::nullopt;
        journal.steps.append({target, step.value(QStringLiteral("replaced")).toBool()});
    }
    return journal;
}

void write(const QDir& folder, const Journal& journal)
{
    const QString path = folder.filePath(FileName);
    const QByteArray bytes = encode(journal);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && syncToDisk(file) && syncFolderOf(path))
        return;
    file.close();
    QFile::remove(path);
    throw Failure::cannotWrite(FileName);
}

void install(const QDir& folder, const Journal& journal)
{
    qsizetype done = 0;
    try {
        for (; done < journal.steps.size(); ++done)
            installStep(folder, journal.steps[done]);
        syncFolders(folder, targetsOf(journal.steps));
    } catch (const Failure& failure) {
        // The step that failed may have moved its target aside already.
        bool undone = true;
        for (qsizetype i = std::min(done, journal.steps.size() - 1); i >= 0; --i)
            undone = undoStep(folder, journal.steps[i]) && undone;
        if (!undone)
            throw RestoreIncomplete{failure.description()};
        syncFolders(folder, targetsOf(journal.steps));
        discard(folder, journal.steps);
        throw;
    }
    // The restore is complete once the journal is gone; what was moved aside is then only clutter.
    QFile::remove(folder.filePath(FileName));
    syncFolderOf(folder.filePath(FileName));
    removeLeftovers(folder, targetsOf(journal.steps));
}

void discard(const QDir& folder, const QList<Step>& steps)
{
    QFile::remove(folder.filePath(FileName));
    syncFolderOf(folder.filePath(FileName));
    for (const Step& step : steps)
        removeIfThere(folder.filePath(step.target) + NewSuffix);
}

QString finishInterruptedRestore(const QDir& folder)
{
    const QString path = folder.filePath(FileName);
    if (!isThere(path)) {
        // No journal: no file was replaced yet, or the restore was complete but for the clean-up.
        const QStringList waiting = leftoversWith(folder, NewSuffix);
        for (const QString& left :
             waiting + leftoversWith(folder, OldSuffix) + leftoversWith(folder, AbsentSuffix))
            QFile::remove(left);
        if (waiting.isEmpty())
            return {};
        return QStringLiteral(
            "前回の復元が途中で止まっていたため、取り消しました。データは復元する前のままです。");
    }
    // Only a regular file of a journal's size is read: a pipe would never finish.
    std::optional<Journal> journal;
    bool whole = false;
    if (isRegularFile(path) && QFileInfo(path).size() <= MaxSize) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Failure::cannotRead(FileName);
        journal = decode(file.read(MaxSize));
        whole = journal.has_value();
    }
    if (journal && (!isOurs(folder, *journal) || !canFinish(folder, *journal)))
        journal.reset();
    if (journal)
        return finish(folder, *journal);

    // A journal cut short or damaged was being written when the restore stopped (no file was
    // replaced yet), or was damaged since; one that is not this program's may come from anywhere.
    // Either way it says nothing the files themselves do not.
    const bool takenBack = takeBack(folder);
    const bool setAside = whole || !isRegularFile(path) || QFileInfo(path).size() > MaxSize;
    if (setAside) {
        QFile::remove(folder.filePath(SetAsideName));
        renameOver(path, folder.filePath(SetAsideName));
    } else {
        QFile::remove(path);
    }
    syncFolderOf(path);
    const QString data = takenBack ? QStringLiteral("前回の復元が途中で止まっていたため、取り消しました。"
                                                    "データは復元する前のままです。")
                                   : QString();
    if (!setAside)
        return data;
    return QStringLiteral("%1 はソラニカの復元の記録ではないため、%2 に名前を変えて残しました。%3")
        .arg(FileName, SetAsideName, takenBack ? data : QStringLiteral("データは今のまま使います。"));
}

} // namespace RestoreJournal
