#include "store/RegularFile.h"

#include "platform/DiskSync.h"
#include "store/Failure.h"
#include "store/OwnerOnly.h"

#include <QFileInfo>
#include <QSaveFile>

namespace RegularFile {

bool exists(const QString& path, const QString& shownName)
{
    const QFileInfo info(path);
    // exists() and isFile() follow links, so a link that leads nowhere reads as missing.
    if (info.isSymbolicLink() && !info.exists())
        throw Failure::cannotOpen(shownName);
    if (!info.exists())
        return false;
    if (!info.isFile())
        throw Failure::cannotOpen(shownName);
    return true;
}

bool write(const QString& path, const QByteArray& bytes, Readers readers)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (readers == Readers::OwnerOnly && !OwnerOnly::restrict(file))
        return false;
    // The explicit flush matters: commit() ignores a short write of the buffered bytes (full disk)
    // and would rename a truncated file over the old one.
    return file.write(bytes) == bytes.size() && file.flush() && syncToDisk(file) && file.commit();
}

bool copy(const QString& path, const QString& source, Readers readers)
{
    constexpr qint64 ChunkSize = qint64(1) << 20;
    QFile from(source);
    QSaveFile file(path);
    if (!from.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        return false;
    if (readers == Readers::OwnerOnly && !OwnerOnly::restrict(file))
        return false;
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(ChunkSize);
        if (chunk.isEmpty() || file.write(chunk) != chunk.size())
            return false;
    }
    return from.error() == QFileDevice::NoError && file.flush() && syncToDisk(file) && file.commit();
}

void replace(const QString& path, const QByteArray& bytes, const QString& shownName, Readers readers)
{
    exists(path, shownName);
    if (!write(path, bytes, readers))
        throw Failure::cannotWrite(shownName);
}

} // namespace RegularFile
