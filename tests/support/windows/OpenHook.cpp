#include "support/OpenHook.h"

#include "support/windows/ImportHook.h"

#include <QString>

#include <memory>

#include <windows.h>

namespace {

OpenHook* live = nullptr;
std::unique_ptr<ImportHook> hook;
// The hook's own file work (a rename, a write) is not counted.
thread_local bool inHook = false;

using CreateFunction = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

// Every file of the program, Qt's and its own, is opened through CreateFileW.
HANDLE WINAPI announcedCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE model)
{
    if (live && !inHook) {
        inHook = true;
        live->opening(QString::fromWCharArray(name).toUtf8().constData());
        inHook = false;
    }
    return reinterpret_cast<CreateFunction>(hook->original())(name, access, share, security, disposition,
                                                              flags, model);
}

} // namespace

OpenHook::OpenHook(QByteArray fileName, std::function<void(int opens)> before)
    : name(std::move(fileName)), before(std::move(before))
{
    Q_ASSERT(!live);
    live = this;
    hook = std::make_unique<ImportHook>("kernel32.dll", "CreateFileW",
                                        reinterpret_cast<void*>(&announcedCreateFile));
}

OpenHook::~OpenHook()
{
    hook.reset();
    live = nullptr;
}

void OpenHook::opening(const char* path)
{
    const QByteArray file(path);
    if (name != file.mid(qMax(file.lastIndexOf('/'), file.lastIndexOf('\\')) + 1))
        return;
    ++count;
    before(count);
}
