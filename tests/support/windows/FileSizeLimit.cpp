#include "support/FileSizeLimit.h"

#include "support/windows/ImportHook.h"

#include <memory>

#include <windows.h>

namespace {

qint64 limit = 0;
std::unique_ptr<ImportHook> hook;

using WriteFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);

// Writes to a disk file up to the limit, and no further, as a system with a file size limit does: the
// write that crosses it is cut short, the next one fails as one past a file size limit does.
BOOL WINAPI limitedWriteFile(HANDLE file, LPCVOID buffer, DWORD bytes, LPDWORD written,
                             LPOVERLAPPED overlapped)
{
    const auto real = reinterpret_cast<WriteFunction>(hook->original());
    if (GetFileType(file) != FILE_TYPE_DISK)
        return real(file, buffer, bytes, written, overlapped);
    // Where the write lands: the offset it names, the end of the file for an append, else the file pointer.
    LARGE_INTEGER position = {};
    const bool append =
        overlapped && overlapped->Offset == 0xFFFFFFFF && overlapped->OffsetHigh == 0xFFFFFFFF;
    if (overlapped && !append)
        position.QuadPart = (qint64(overlapped->OffsetHigh) << 32) | overlapped->Offset;
    else if (append || !SetFilePointerEx(file, {}, &position, FILE_CURRENT))
        GetFileSizeEx(file, &position);
    if (bytes == 0 || position.QuadPart + bytes <= limit)
        return real(file, buffer, bytes, written, overlapped);
    if (position.QuadPart >= limit) {
        if (written)
            *written = 0;
        SetLastError(ERROR_FILE_TOO_LARGE);
        return FALSE;
    }
    bytes = DWORD(limit - position.QuadPart);
    return real(file, buffer, bytes, written, overlapped);
}

} // namespace

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    Q_ASSERT(!hook);
    limit = bytes;
    hook =
        std::make_unique<ImportHook>("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&limitedWriteFile));
}

FileSizeLimit::~FileSizeLimit()
{
    hook.reset();
}
