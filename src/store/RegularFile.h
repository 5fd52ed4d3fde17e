#pragma once

#include <QByteArray>
#include <QString>

// The one way the store looks at a file before opening it, and replaces a file's contents whole.
namespace RegularFile {

// True when `path` is a regular file, directly or through symbolic links; false when nothing at
// all is there. Anything else fails with "ファイルを開けません。 (shownName)" before it is opened:
// a FIFO blocks the program in open, and writing to a device, a folder or through a link that
// leads nowhere would feed, replace or create something that is not the shop's file.
bool exists(const QString& path, const QString& shownName);
inline bool exists(const QString& path)
{
    return exists(path, path);
}

// Writes `bytes` beside the file and renames the result over it, so a failed write leaves the old
// contents in place; a failure names `shownName`.
void replace(const QString& path, const QByteArray& bytes, const QString& shownName);

} // namespace RegularFile
