#include "platform/FrontRequests.h"

#include <QWinEventNotifier>

#include <string>

#include <windows.h>

namespace {

std::wstring pipeName(const QString& name)
{
    return L"\\\\.\\pipe\\" + name.toStdWString();
}

} // namespace

// One pipe instance, waiting for the next connection in the background; its event wakes the event loop.
// A named pipe's default security lets only its owner (and the system's administrators) write to it.
struct FrontRequests::Listener
{
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE connected = nullptr;
    OVERLAPPED overlapped{};
    std::function<void()> comeToFront;
    std::unique_ptr<QWinEventNotifier> notifier;

    ~Listener()
    {
        notifier.reset();
        if (pipe != INVALID_HANDLE_VALUE) {
            CancelIo(pipe);
            CloseHandle(pipe);
        }
        if (connected)
            CloseHandle(connected);
    }

    // Waits for the next start's connection. One that came before the wait began is answered at once.
    void waitForNext()
    {
        for (;;) {
            ResetEvent(connected);
            overlapped = {};
            overlapped.hEvent = connected;
            if (ConnectNamedPipe(pipe, &overlapped) || GetLastError() == ERROR_IO_PENDING)
                return;
            if (GetLastError() != ERROR_PIPE_CONNECTED)
                return;
            DisconnectNamedPipe(pipe);
            comeToFront();
        }
    }

    void answer()
    {
        DWORD unused = 0;
        if (!GetOverlappedResult(pipe, &overlapped, &unused, FALSE))
            return;
        DisconnectNamedPipe(pipe);
        comeToFront();
        waitForNext();
    }
};

FrontRequests::FrontRequests(const QString& name, std::function<void()> comeToFront)
{
    auto made = std::make_unique<Listener>();
    made->comeToFront = std::move(comeToFront);
    made->pipe =
        CreateNamedPipeW(pipeName(name).c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                         PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0, 0, nullptr);
    made->connected = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (made->pipe == INVALID_HANDLE_VALUE || !made->connected)
        return;
    made->notifier = std::make_unique<QWinEventNotifier>(made->connected);
    Listener* waiting = made.get();
    QObject::connect(made->notifier.get(), &QWinEventNotifier::activated, made->notifier.get(),
                     [waiting] { waiting->answer(); });
    made->waitForNext();
    listener = std::move(made);
}

FrontRequests::~FrontRequests() = default;

bool FrontRequests::ask(const QString& name, int waitMs)
{
    const std::wstring pipe = pipeName(name);
    // The holder takes one connection at a time; between two it is busy for a moment.
    if (!WaitNamedPipeW(pipe.c_str(), DWORD(waitMs)))
        return false;
    const HANDLE connection = CreateFileW(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (connection == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(connection);
    return true;
}
