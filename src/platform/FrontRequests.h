#pragma once

#include <QString>

#include <functional>
#include <memory>

// How a later start on this computer asks the program that holds a data folder to bring its windows to
// the front: a local socket (a named pipe on Windows) named after the folder, which only this user can
// reach, and on which a connection is the request. Built on the system's own calls: Qt Network, with
// the Kerberos and proxy libraries it brings, would cost every start a sixth of its work for this alone.
class FrontRequests
{
public:
    // Listens under `name`, calling `comeToFront` from this thread's event loop at each request. A name
    // left behind by a program that no longer runs is taken over; when no name can be had, later starts
    // are not heard and ask the shop instead.
    FrontRequests(const QString& name, std::function<void()> comeToFront);
    ~FrontRequests();
    FrontRequests(const FrontRequests&) = delete;
    FrontRequests& operator=(const FrontRequests&) = delete;

    // Asks the program listening under `name`: true when the request reached it within `waitMs`.
    static bool ask(const QString& name, int waitMs);

private:
    struct Listener;
    std::unique_ptr<Listener> listener;
};
