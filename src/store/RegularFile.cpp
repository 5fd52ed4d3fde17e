#include "store/RegularFile.h"

#include "store/Failure.h"

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

void replace(const QString& path, const QByteArray& bytes, const QString& shownName)
{
    exists(path, shownName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure::cannotWrite(shownName);
    // The explicit flush matters: commit() ignores a short write of the buffered bytes (full disk)
    // and would rename a truncated file over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw Failure::cannotWrite(shownName);
}

} // namespace RegularFile
