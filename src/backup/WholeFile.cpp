#include "backup/WholeFile.h"

#include <QCryptographicHash>
#include <QFile>

namespace WholeFile {

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

std::optional<QByteArray> sha256(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file) || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return hash.result();
}

} // namespace WholeFile
