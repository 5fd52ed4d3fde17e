#include "platform/ThreadEnd.h"

#include <windows.h>

ThreadEnd::~ThreadEnd()
{
    wait();
}

void ThreadEnd::takeCurrentThread()
{
    HANDLE thread = nullptr;
    // GetCurrentThread() names whichever thread asks: a real handle is made of it.
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, SYNCHRONIZE,
                        FALSE, 0))
        handle = thread;
}

void ThreadEnd::wait()
{
    if (!handle)
        return;
    WaitForSingleObject(handle, INFINITE);
    CloseHandle(handle);
    handle = nullptr;
}
