#include "store/ScratchFolder.h"

#include "store/Failure.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Prefix = QStringLiteral("soranika-scratch-");
const QString LockName = QStringLiteral("in-use.lock");

// Whether `name` is `prefix` followed by the six letters QTemporaryDir puts in place of XXXXXX. Matched
// by hand, not by a wildcard: a wildcard is a regular expression, whose library every start would load
// for this alone.
bool isTemporaryName(const QString& name, QLatin1StringView prefix)
{
    return name.size() == prefix.size() + 6 && name.startsWith(prefix);
}

} // namespace

ScratchFolder::ScratchFolder()
    : dir(QDir::tempPath() + QLatin1Char('/') + Prefix + QStringLiteral("XXXXXX")),
      inUse(dir.filePath(LockName))
{
    // Only a program that no longer runs leaves its lock behind, however long a snapshot takes.
    inUse.setStaleLockTime(0);
    if (!dir.isValid() || !inUse.tryLock(0))
        throw Failure(QStringLiteral("一時ファイルを作れません。 (%1)").arg(QDir::tempPath()));
}

void ScratchFolder::removeAbandoned()
{
    const QDir temporary(QDir::tempPath());
    // Folders that earlier versions made without a lock, for a few milliseconds each: one that has
    // not changed for a minute was left by a program that was killed.
    const QDateTime aMinuteAgo = QDateTime::currentDateTime().addSecs(-60);
    const QStringList folders = temporary.entryList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString& name : folders) {
        if ((isTemporaryName(name, QLatin1StringView("soranika-")) ||
             isTemporaryName(name, QLatin1StringView("soranika-settings-"))) &&
            QFileInfo(temporary.filePath(name)).lastModified() < aMinuteAgo)
            QDir(temporary.filePath(name)).removeRecursively();
    }
    for (const QString& name : folders) {
        if (!name.startsWith(Prefix))
            continue;
        QDir folder(temporary.filePath(name));
        QLockFile lock(folder.filePath(LockName));
        lock.setStaleLockTime(0);
        // A program killed while it wrote its lock leaves one that names no process; a program that
        // runs keeps its lock locked, and removing it then fails.
        qint64 holder = 0;
        if (lock.tryLock(0) ||
            (lock.error() == QLockFile::LockFailedError && !lock.getLockInfo(&holder, nullptr, nullptr) &&
             lock.removeStaleLockFile() && lock.tryLock(0))) {
            lock.unlock();
            folder.removeRecursively();
        }
    }
}
