#include "backup/WholeFile.h"

#include "platform/DiskSync.h"

#include <QFile>
#include <QSaveFile>

namespace WholeFile {

bool write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // The explicit flush matters: commit() ignores a short write of the buffered bytes (full disk).
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           syncToDisk(file) && file.commit();
}

std::optional<QByteArray> read(const QString& path, qint64 maxSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxSize)
        return std::nullopt;
    // readAll() takes the file's size as its buffer; read(maxSize) would set aside all of maxSize.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() > maxSize)
        return std::nullopt;
    return bytes;
}

} // namespace WholeFile
