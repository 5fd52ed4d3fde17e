#include "platform/FileRead.h"

#include <QDir>

#include <algorithm>

#include <windows.h>

namespace {

std::wstring nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// One handle for the whole read, closed whatever happens.
class Handle
{
public:
    explicit Handle(HANDLE handle) : handle(handle) {}
    ~Handle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE handle;
};

HANDLE openFile(const std::wstring& name, DWORD access, DWORD disposition)
{
    // Others may read, write and rename the file meanwhile, as they may on other systems.
    return CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

bool nothingAt(const QString& path)
{
    // The attributes of a link are its own, so a link that leads nowhere is still something.
    if (GetFileAttributesW(nativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FileRead readOnce(const QString& fileName, qint64 offset, char* bytes, qint64 length, const FileRead* earlier)
{
    const std::wstring name = nativePath(fileName);
    // A folder does not open without backup semantics, so it is refused here already. CREATE_NEW
    // creates nothing where something is, a link that leads nowhere included.
    Handle file(openFile(name, GENERIC_READ, OPEN_EXISTING));
    if (file.handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND)
        file.handle = openFile(name, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    if (file.handle == INVALID_HANDLE_VALUE)
        return {};
    // A pipe or a device opens too, but it is no file to read records from.
    const auto look = [&file] {
        BY_HANDLE_FILE_INFORMATION information = {};
        if (GetFileType(file.handle) != FILE_TYPE_DISK ||
            !GetFileInformationByHandle(file.handle, &information) ||
            (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return FileRead{};
        return FileRead{true, (qint64(information.nFileSizeHigh) << 32) | information.nFileSizeLow, true};
    };
    FileRead result = earlier && earlier->opened ? *earlier : look();
    if (result.opened && offset >= 0 && (earlier || offset < result.size)) {
        OVERLAPPED at = {};
        at.Offset = DWORD(offset & 0xFFFFFFFF);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD got = 0;
        result.read =
            ReadFile(file.handle, bytes, DWORD(length), &got, &at) || GetLastError() == ERROR_HANDLE_EOF;
        // More or fewer bytes than the earlier length promised: the file changed since, and is looked at
        // again.
        if (earlier && result.read && qint64(got) != std::clamp(earlier->size - offset, qint64(0), length))
            result = look();
    }
    return result;
}
