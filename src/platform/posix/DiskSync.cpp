#include "platform/DiskSync.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

bool syncToDisk(QFileDevice& file)
{
    return ::fsync(file.handle()) == 0;
}

bool syncFolderOf(const QString& fileName)
{
    const int folder =
        ::open(QFile::encodeName(QFileInfo(fileName).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder < 0)
        return false;
    const bool synced = ::fsync(folder) == 0;
    ::close(folder);
    return synced;
}
