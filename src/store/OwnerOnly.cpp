#include "store/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

namespace OwnerOnly {

namespace {

constexpr QFileDevice::Permissions FileMode =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
constexpr QFileDevice::Permissions FolderMode = FileMode | QFileDevice::ExeOwner | QFileDevice::ExeUser;

} // namespace

bool restrict(QFileDevice& file)
{
    return file.setPermissions(FileMode);
}

bool restrict(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    const QFileDevice::Permissions mode = info.isDir() ? FolderMode : FileMode;
    return info.permissions() == mode || QFile::setPermissions(path, mode);
}

bool makeFolder(const QString& path)
{
    return QDir().mkpath(path)&& restrict(path);
}

} // namespace OwnerOnly
