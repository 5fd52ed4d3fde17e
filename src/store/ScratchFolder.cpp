#include "store/ScratchFolder.h"

#include "store/Failure.h"

#include <QDir>

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
    // Folders that earlier versions made without a lock: this version never makes them.
    for (const QString& name :
         temporary.entryList({QStringLiteral("soranika-??????"), QStringLiteral("soranika-settings-??????")},
                             QDir::Dirs | QDir::NoSymLinks))
        QDir(temporary.filePath(name)).removeRecursively();
    for (const QString& name :
         temporary.entryList({Prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoSymLinks)) {
        QDir folder(temporary.filePath(name));
        QLockFile lock(folder.filePath(LockName));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            lock.unlock();
            folder.removeRecursively();
        }
    }
}
