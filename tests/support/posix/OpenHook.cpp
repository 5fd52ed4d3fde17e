// The process's own open and open64 stand in front of the C library's: they tell the live hook, then
// pass the call on unchanged. The record file is read with open, Qt's files with open64.
#undef _FORTIFY_SOURCE

#include "support/OpenHook.h"

#include <cstdarg>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>

namespace {

OpenHook* live = nullptr;
// The hook's own file work (a rename, a write) is not counted.
thread_local bool inHook = false;

using OpenFunction = int (*)(const char*, int, ...);

int forward(OpenFunction real, const char* path, int flags, mode_t mode)
{
    if (live && !inHook) {
        inHook = true;
        live->opening(path);
        inHook = false;
    }
    return real(path, flags, mode);
}

mode_t modeOf(int flags, va_list arguments)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
}

} // namespace

extern "C" int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    static const auto real = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open"));
    return forward(real, path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    static const auto real = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open64"));
    return forward(real, path, flags, mode);
}

OpenHook::OpenHook(QByteArray fileName, std::function<void(int opens)> before)
    : name(std::move(fileName)), before(std::move(before))
{
    Q_ASSERT(!live);
    live = this;
}

OpenHook::~OpenHook()
{
    live = nullptr;
}

void OpenHook::opening(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    if (name != (slash ? slash + 1 : path))
        return;
    ++count;
    before(count);
}
