#include "store/ScratchFolder.h"

#include "store/Failure.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Prefix = QStringLiteral("soranika-scratch-");
const QString LockName = QStringLiteral("in-use.lock");

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
    for (const QFileInfo& left : temporary.entryInfoList(
             {QStringLiteral("soranika-??????"), QStringLiteral("soranika-settings-??????")},
             QDir::Dirs | QDir::NoSymLinks)) {
        if (left.lastModified() < aMinuteAgo)
            QDir(left.filePath()).removeRecursively();
    }
    for (const QString& name :
         temporary.entryList({Prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoSymLinks)) {
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
