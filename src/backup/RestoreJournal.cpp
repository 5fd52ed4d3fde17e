#include "backup/RestoreJournal.h"

#include "platform/DiskSync.h"
#include "store/Failure.h"
#include "store/ShopSettings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <filesystem>
#include <system_error>

namespace RestoreJournal {

namespace {

const QByteArray Magic("SRNKRST1");
constexpr qsizetype HashLength = 32;
// Far above any journal: a few dozen short names.
constexpr qint64 MaxJournalSize = 1 << 20;

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

QString shownName(const QDir& folder, const QString& target)
{
    return QFileInfo(target).isAbsolute() ? QDir::toNativeSeparators(target)
                                          : folder.relativeFilePath(target);
}

void syncFolders(const QDir& folder, const QList<Step>& steps)
{
    QSet<QString> done;
    for (const Step& step : steps) {
        const QString path = folder.filePath(step.target);
        const QString parent = QFileInfo(path).absolutePath();
        if (!done.contains(parent))
            syncFolderOf(path);
        done.insert(parent);
    }
    syncFolderOf(folder.filePath(FileName));
}

bool removeIfThere(const QString& path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// Moves target aside, then the new file into its place (or only aside, for a target that goes).
// Only a regular file is moved aside: anything else under that name was never the shop's.
void installStep(const QDir& folder, const Step& step)
{
    const QString target = folder.filePath(step.target);
    if (isRegularFile(target) && !renameOver(target, target + OldSuffix))
        throw Failure::cannotWrite(shownName(folder, step.target));
    if (step.replaced && QFileInfo::exists(target + NewSuffix) && !renameOver(target + NewSuffix, target))
        throw Failure::cannotWrite(shownName(folder, step.target));
}

// The reverse of installStep: the new file goes back to waiting, the old one back into place.
bool undoStep(const QDir& folder, const Step& step)
{
    const QString target = folder.filePath(step.target);
    if (step.replaced && isRegularFile(target) && !QFileInfo::exists(target + NewSuffix) &&
        !renameOver(target, target + NewSuffix))
        return false;
    return !QFileInfo::exists(target + OldSuffix) || renameOver(target + OldSuffix, target);
}

void removeLeftovers(const QDir& folder, const QList<Step>& steps)
{
    for (const Step& step : steps)
        removeIfThere(folder.filePath(step.target) + OldSuffix);
}

// Whatever a restore may have left in the data folder and beside the settings file.
QStringList leftoversWith(const QDir& folder, const QString& suffix)
{
    QStringList found;
    for (const QString& name : folder.entryList({QLatin1Char('*') + suffix}, QDir::Files | QDir::Hidden))
        found.append(folder.filePath(name));
    const QString settings = ShopSettings::fileName() + suffix;
    if (QFileInfo(settings).isFile())
        found.append(settings);
    return found;
}

} // namespace

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
        syncFolders(folder, journal.steps);
    } catch (const Failure& failure) {
        // The step that failed may have moved its target aside already.
        bool undone = true;
        for (qsizetype i = std::min(done, journal.steps.size() - 1); i >= 0; --i)
            undone = undoStep(folder, journal.steps[i]) && undone;
        if (!undone)
            throw RestoreIncomplete{failure.description()};
        syncFolders(folder, journal.steps);
        discard(folder, journal.steps);
        throw;
    }
    // The restore is complete once the journal is gone; what was moved aside is then only clutter.
    QFile::remove(folder.filePath(FileName));
    syncFolderOf(folder.filePath(FileName));
    removeLeftovers(folder, journal.steps);
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
    std::optional<Journal> journal;
    if (QFileInfo(path).isFile()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > MaxJournalSize)
            throw Failure::cannotRead(FileName);
        journal = decode(file.readAll());
    }
    if (journal) {
        for (const Step& step : journal->steps) {
            const QString target = folder.filePath(step.target);
            if (step.replaced
                    ? QFileInfo::exists(target + NewSuffix) && !renameOver(target + NewSuffix, target)
                    : isRegularFile(target) && !QFile::remove(target))
                throw Failure(QStringLiteral("前回の復元が途中で止まっていましたが、最後まで復元できません"
                                             "でした。次に起動したときにもう一度試します。\n%1")
                                  .arg(Failure::cannotWrite(shownName(folder, step.target)).description()));
        }
        syncFolders(folder, journal->steps);
        QFile::remove(path);
        syncFolderOf(path);
        for (const QString& left : leftoversWith(folder, OldSuffix))
            QFile::remove(left);
        return QStringLiteral("前回の復元が途中で止まっていたため、復元を最後まで行いました。"
                              "復元する前のデータは %1 に残っています。")
            .arg(QDir::toNativeSeparators(journal->safetyArchive));
    }
    // No whole journal: no file was replaced yet, or the restore was complete but for the clean-up.
    const QStringList waiting = leftoversWith(folder, NewSuffix);
    for (const QString& left : waiting + leftoversWith(folder, OldSuffix))
        QFile::remove(left);
    QFile::remove(path);
    if (waiting.isEmpty())
        return {};
    return QStringLiteral(
        "前回の復元が途中で止まっていたため、取り消しました。データは復元する前のままです。");
}

} // namespace RestoreJournal
