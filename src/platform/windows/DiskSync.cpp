#include "platform/DiskSync.h"

#include <QFileDevice>
#include <QString>

#include <io.h>
#include <windows.h>

bool syncToDisk(QFileDevice& file)
{
    // Qt hands out a C runtime descriptor for its file; the system's handle stands behind it.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

bool syncFolderOf(const QString& fileName)
{
    // NTFS writes a folder's entries through its own journal; a folder cannot be flushed by a program.
    Q_UNUSED(fileName);
    return true;
}
