#include "store/PickListFile.h"

#include "store/Failure.h"
#include "store/RegularFile.h"
#include "store/Sjis.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <iterator>

namespace PickListFile {

namespace {

// What must come before a new line so that the file's last line stays an item of its own.
QByteArray endOfLastLine(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.endsWith("\r\n"))
        return {};
    return bytes.endsWith('\r') ? QByteArray("\n") : QByteArray("\r\n");
}

QByteArray readBytes(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpen(fileName);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure::cannotRead(fileName);
    return bytes;
}

} // namespace

void ensureExists(const QString& fileName)
{
    RegularFile::exists(fileName);
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
            items.append(Sjis::displayText(bytes.mid(start)));
            break;
        }
        items.append(Sjis::displayText(bytes.mid(start, cr - start)));
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
    if (!RegularFile::exists(fileName))
        throw Failure::fileNotFound(fileName);
    return decodeLines(readBytes(fileName));
}

void appendItem(const QString& fileName, const QString& item)
{
    // The list is written anew with the item at its end, beside the old one and renamed over it:
    // a write that stops halfway, on a full disk or by a kill, leaves the old list as it was.
    const QByteArray bytes = RegularFile::exists(fileName) ? readBytes(fileName) : QByteArray();
    RegularFile::replace(fileName, bytes + endOfLastLine(bytes) + encodeLines({item}), fileName);
}

void rewrite(const QString& fileName, const QStringList& items)
{
    RegularFile::replace(fileName, encodeLines(items), fileName);
}

int removeStaleTemporaries(const QDateTime& startedAt)
{
    // QSaveFile names its file after the final one: a dot and six letters A-Z or a-z. Matched by hand, as
    // a regular expression would load its library on every start for this alone.
    const auto finalName = [](const QString& name) {
        const qsizetype dot = name.size() - 7;
        if (dot < 1 || name[dot] != QLatin1Char('.'))
            return QString();
        for (const QChar letter : QStringView(name).mid(dot + 1)) {
            if (!(letter >= QLatin1Char('A') && letter <= QLatin1Char('Z')) &&
                !(letter >= QLatin1Char('a') && letter <= QLatin1Char('z')))
                return QString();
        }
        return name.left(dot);
    };
    int removed = 0;
    const QFileInfoList entries = QDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString final = finalName(entry.fileName());
        if (final.isEmpty() || !std::count(std::begin(FileNames), std::end(FileNames), final))
            continue;
        if (entry.isFile() && !entry.isSymbolicLink() && entry.lastModified() < startedAt &&
            QFile::remove(entry.fileName()))
            ++removed;
    }
    return removed;
}

} // namespace PickListFile
