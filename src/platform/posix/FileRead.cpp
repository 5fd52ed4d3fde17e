#include "platform/FileRead.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool nothingAt(const QString& path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) != 0 && errno == ENOENT;
}

namespace {

// The file's name as the system takes it. The search for a free chart reads thousands of records of
// one file in a row; converting its name each time took half of the search's work.
const QByteArray& encodedName(const QString& fileName)
{
    thread_local QString last;
    thread_local QByteArray encoded;
    if (fileName != last || encoded.isEmpty()) {
        encoded = QFile::encodeName(fileName);
        last = fileName;
    }
    return encoded;
}

} // namespace

FileRead readOnce(const QString& fileName, qint64 offset, char* bytes, qint64 length, const FileRead* earlier)
{
    const QByteArray& name = encodedName(fileName);
    // Opened for writing only when it has to be created: that open costs the system more. Without
    // O_NONBLOCK a pipe put in the file's place would hold the open until something wrote to it.
    // O_EXCL creates nothing through a link that leads nowhere.
    int file = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0 && errno == ENOENT)
        file = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0)
        return {};
    // A folder, a pipe or a device opens, but it is no file to read records from.
    const auto look = [file] {
        struct stat status = {};
        return ::fstat(file, &status) == 0 && S_ISREG(status.st_mode)
                   ? FileRead{true, qint64(status.st_size), true}
                   : FileRead{};
    };
    FileRead result = earlier && earlier->opened ? *earlier : look();
    if (result.opened && offset >= 0 && (earlier || offset < result.size)) {
        ssize_t got = 0;
        do {
            got = ::pread(file, bytes, size_t(length), off_t(offset));
        } while (got < 0 && errno == EINTR);
        result.read = got >= 0;
        // More or fewer bytes than the earlier length promised: the file changed since, and is looked at
        // again.
        if (earlier && got >= 0 && got != std::clamp(earlier->size - offset, qint64(0), length))
            result = look();
    }
    ::close(file);
    return result;
}
