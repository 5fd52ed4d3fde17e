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

// Who may read a file once it is written: as the umask says, or its owner only (OwnerOnly.h).
enum class Readers { AsUmask, OwnerOnly };

// Writes `bytes` beside the file, pushes them to the disk and renames the result over it, so the
// file is either the old one or the new one, whatever happens. False when that did not succeed.
// A file for its owner only is limited before the first byte is written, and so is one that is
// replaced.
bool write(const QString& path, const QByteArray& bytes, Readers readers = Readers::AsUmask);
// As write, with the bytes of the file `source`, copied a piece at a time so that a large file is
// never held in memory whole.
bool copy(const QString& path, const QString& source, Readers readers = Readers::AsUmask);

// As write, for the shop's own files: anything but a regular file is refused first, and a failure
// names `shownName`.
void replace(const QString& path, const QByteArray& bytes, const QString& shownName,
             Readers readers = Readers::AsUmask);

} // namespace RegularFile
