#include "app/DataFolderLock.h"

#include "platform/MessageBoxes.h"
#include "store/ScratchFolder.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {

constexpr int WaitMs = 2000;
const QByteArray ComeToFront = "front\n";

// The folders this program holds, by server name, each with what brings its windows forward. A second
// claim from inside the program calls that directly: its own server could not answer a message while
// the claim waits for it.
QHash<QString, std::function<void()>>& heldHere()
{
    static QHash<QString, std::function<void()>> held;
    return held;
}

// The same for every path that leads to the folder, and apart for each user.
QString serverNameFor(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash((QDir::home().path() + QLatin1Char('\n') + canonical).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(24);
    return QStringLiteral("soranika-") + QString::fromLatin1(hash);
}

// The window the shop would look for: an open dialog first, else a screen that is shown.
void bringToFront()
{
    QWidget* window = QApplication::activeModalWidget();
    for (QWidget* each : QApplication::topLevelWidgets()) {
        if (!window && each->isVisible() && each->isWindow())
            window = each;
    }
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

} // namespace

DataFolderLock::DataFolderLock(const QString& folder)
    : serverName(serverNameFor(folder)), lock(QDir(folder).filePath(FileName))
{
    // The program holds the lock for as long as it runs: only a program that no longer runs makes
    // it stale, never its age.
    lock.setStaleLockTime(0);
}

DataFolderLock::~DataFolderLock()
{
    if (server)
        heldHere().remove(serverName);
}

DataFolderLock::Claim DataFolderLock::claim(std::function<void()> bringToFront)
{
    if (!lock.tryLock(0) && !takeOverLockLeftUnderOurProcessId()) {
        if (lock.error() == QLockFile::LockFailedError) {
            if (const auto here = heldHere().constFind(serverName); here != heldHere().cend()) {
                (*here)();
                return Claim::OtherBroughtToFront;
            }
            return askOtherToComeToFront() ? Claim::OtherBroughtToFront : Claim::OtherNotReached;
        }
        // A folder where no lock can be made (read-only, say) is one no copy can write to either.
        qWarning("No lock file in the data folder: %s", qUtf8Printable(lock.fileName()));
        return Claim::Ours;
    }
    server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // A server of a program that crashed may have left its name behind; the lock says it is gone.
    if (!server->listen(serverName)) {
        QLocalServer::removeServer(serverName);
        server->listen(serverName);
    }
    heldHere().insert(serverName, bringToFront);
    QObject::connect(server.get(), &QLocalServer::newConnection, server.get(),
                     [this, bringToFront = std::move(bringToFront)] {
                         while (QLocalSocket* other = server->nextPendingConnection()) {
                             QObject::connect(other, &QLocalSocket::readyRead, other, [other, bringToFront] {
                                 if (other->readAll().contains(ComeToFront))
                                     bringToFront();
                                 other->disconnectFromServer();
                             });
                             QObject::connect(other, &QLocalSocket::disconnected, other,
                                              &QObject::deleteLater);
                         }
                     });
    return Claim::Ours;
}

bool DataFolderLock::takeOverLockLeftUnderOurProcessId()
{
    // Process ids come round again: a program that was killed can have left a lock naming the id
    // this program now runs under (Windows soon gives the same low ids out again), and the lock
    // would then look held for good. This program holds no lock but the ones it claimed here.
    qint64 holder = 0;
    if (lock.error() != QLockFile::LockFailedError || heldHere().contains(serverName) ||
        !lock.getLockInfo(&holder, nullptr, nullptr) || holder != QCoreApplication::applicationPid())
        return false;
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

bool DataFolderLock::askOtherToComeToFront() const
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(WaitMs))
        return false;
    socket.write(ComeToFront);
    return socket.waitForBytesWritten(WaitMs);
}

std::unique_ptr<DataFolderLock> claimDataFolder(const QString& folder, MessageBoxes& messages)
{
    auto lock = std::make_unique<DataFolderLock>(folder);
    const DataFolderLock::Claim claim = lock->claim(bringToFront);
    if (claim == DataFolderLock::Claim::Ours) {
        ScratchFolder::removeAbandoned();
        return lock;
    }
    if (claim == DataFolderLock::Claim::OtherNotReached)
        messages.ask(nullptr, QStringLiteral("ソラニカはすでに起動しています。"), QStringLiteral("ソラニカ"),
                     MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
    return nullptr;
}
