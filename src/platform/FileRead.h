#pragma once

#include <QString>
#include <QtGlobal>

// What one read of a file found.
struct FileRead
{
    // False when the file could not be opened, or is not a regular file (a folder, a pipe, a device,
    // a link that leads nowhere).
    bool opened = false;
    // The file's length as it was opened.
    qint64 size = 0;
    // False when the read itself failed.
    bool read = false;
};

// Opens `fileName` for reading, creating it empty when it is missing; reads up to `length` bytes at `offset`
// into `bytes` when the offset lies inside the file (bytes past its end are left as they are); and closes it
// again. One call to the system for each of these steps, as the search for a free chart reads thousands of
// records in a row. `earlier`, a read of the same file a moment ago in the same event, stands for the
// file's kind and length, which are then asked for again only when the read finds more or fewer bytes
// than that length promised.
FileRead readOnce(const QString& fileName, qint64 offset, char* bytes, qint64 length,
                  const FileRead* earlier = nullptr);

// True when nothing at all is at `path`, not even a link: one look, for the checks made before every
// record read.
bool nothingAt(const QString& path);
