#include "platform/FrontRequests.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The socket's address in the user's runtime folder, which only the user can enter.
bool addressOf(const QString& name, sockaddr_un& address, QByteArray& path)
{
    path = QFile::encodeName(
        QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)).filePath(name));
    std::memset(&address, 0, sizeof address);
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

sockaddr* asAddress(sockaddr_un& address)
{
    return reinterpret_cast<sockaddr*>(&address);
}

} // namespace

struct FrontRequests::Listener
{
    int socket = -1;
    QByteArray path;
    std::unique_ptr<QSocketNotifier> notifier;

    ~Listener()
    {
        notifier.reset();
        if (socket >= 0) {
            ::close(socket);
            ::unlink(path.constData());
        }
    }
};

FrontRequests::FrontRequests(const QString& name, std::function<void()> comeToFront)
{
    auto made = std::make_unique<Listener>();
    sockaddr_un address;
    if (!addressOf(name, address, made->path))
        return;
    made->socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (made->socket < 0)
        return;
    // The folder's lock is ours, so a socket under the name was left by a program that no longer runs.
    if (::bind(made->socket, asAddress(address), sizeof address) != 0 &&
        (errno != EADDRINUSE || ::unlink(made->path.constData()) != 0 ||
         ::bind(made->socket, asAddress(address), sizeof address) != 0)) {
        ::close(made->socket);
        made->socket = -1;
        return;
    }
    if (::chmod(made->path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(made->socket, 8) != 0)
        return;
    made->notifier = std::make_unique<QSocketNotifier>(made->socket, QSocketNotifier::Read);
    QObject::connect(made->notifier.get(), &QSocketNotifier::activated, made->notifier.get(),
                     [socket = made->socket, comeToFront = std::move(comeToFront)] {
                         bool asked = false;
                         for (int other; (other = ::accept4(socket, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
                             ::close(other);
                             asked = true;
                         }
                         if (asked)
                             comeToFront();
                     });
    listener = std::move(made);
}

FrontRequests::~FrontRequests() = default;

bool FrontRequests::ask(const QString& name, int)
{
    // A local socket takes a connection at once or refuses it; there is nothing to wait for.
    sockaddr_un address;
    QByteArray path;
    if (!addressOf(name, address, path))
        return false;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return false;
    const bool reached = ::connect(socket, asAddress(address), sizeof address) == 0;
    ::close(socket);
    return reached;
}
