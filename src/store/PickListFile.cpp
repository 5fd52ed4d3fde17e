#include "store/PickListFile.h"

#include "store/Failure.h"
#include "store/Sjis.h"

#include <QFile>
#include <QSaveFile>

namespace PickListFile {

void ensureExists(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Failure::cannotOpen(fileName);
}

QStringList decodeLines(const QByteArray& bytes)
{
    // A CR ends an item (0x0D is never the second byte of a two-byte character); a LF right
    // after it belongs to the same line end.
    QStringList items;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype cr = bytes.indexOf('\r', start);
        if (cr < 0) {
            items.append(Sjis::decode(bytes.mid(start)));
            break;
        }
        items.append(Sjis::decode(bytes.mid(start, cr - start)));
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return items;
}

QByteArray encodeLines(const QStringList& items)
{
    QByteArray bytes;
    for (const QString& item : items) {
        bytes += Sjis::encode(item);
        bytes += "\r\n";
    }
    return bytes;
}

QStringList readItems(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        throw Failure::fileNotFound(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpen(fileName);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure::cannotRead(fileName);
    return decodeLines(bytes);
}

void appendItem(const QString& fileName, const QString& item)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Failure::cannotOpen(fileName);
    const QByteArray line = encodeLines({item});
    if (file.write(line) != line.size() || !file.flush())
        throw Failure::cannotWrite(fileName);
}

void rewrite(const QString& fileName, const QStringList& items)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure::cannotWrite(fileName);
    const QByteArray bytes = encodeLines(items);
    // The explicit flush matters: commit() ignores a short write of the buffered bytes (full disk)
    // and would rename a truncated file over the list.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw Failure::cannotWrite(fileName);
}

} // namespace PickListFile
