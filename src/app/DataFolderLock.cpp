#include "app/DataFolderLock.h"

#include "platform/FrontRequests.h"
#include "store/ScratchFolder.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <QWidget>

namespace {

constexpr int WaitMs = 2000;

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

// Whether a lock file's host name is this computer's. The lock file names a Windows computer by its
// COMPUTERNAME (upper case, at most 15 letters), not by the host name Qt reports elsewhere; names of
// computers are the same in any case.
bool isThisComputer(const QString& host)
{
    const QString computerName = qEnvironmentVariable("COMPUTERNAME");
    return host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0 ||
           (!computerName.isEmpty() && host.compare(computerName, Qt::CaseInsensitive) == 0);
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
    if (front)
        heldHere().remove(serverName);
}

DataFolderLock::Claim DataFolderLock::claim(std::function<void()> bringToFront)
{
    if (!lock.tryLock(0) && !takeOverLockLeftUnderOurProcessId() && !takeOverUnreadableLock()) {
        if (lock.error() == QLockFile::LockFailedError) {
            if (const auto here = heldHere().constFind(serverName); here != heldHere().cend()) {
                (*here)();
                return Claim::OtherBroughtToFront;
            }
            if (!isThisComputer(holderHost()))
                return Claim::OtherComputer;
            return askOtherToComeToFront() ? Claim::OtherBroughtToFront : Claim::OtherNotReached;
        }
        // A folder where no lock can be made (read-only, say) is one no copy can write to either.
        qWarning("No lock file in the data folder: %s", qUtf8Printable(lock.fileName()));
        return Claim::Ours;
    }
    hold(std::move(bringToFront));
    return Claim::Ours;
}

bool DataFolderLock::takeOver(std::function<void()> bringToFront)
{
    // A holder that is still running keeps the file open and locked, and its removal fails.
    if (!lock.removeStaleLockFile() || !lock.tryLock(0))
        return false;
    hold(std::move(bringToFront));
    return true;
}

QString DataFolderLock::holderHost() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || host.isEmpty())
        return QSysInfo::machineHostName();
    return host;
}

QDateTime DataFolderLock::heldSince() const
{
    return QFileInfo(lock.fileName()).lastModified();
}

void DataFolderLock::hold(std::function<void()> bringToFront)
{
    heldHere().insert(serverName, bringToFront);
    front = std::make_unique<FrontRequests>(serverName, std::move(bringToFront));
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

bool DataFolderLock::takeOverUnreadableLock()
{
    // A lock file that names no process (empty after a power cut, or garbage) was never finished by
    // a program that still runs: a running holder wrote it whole when it took the folder, and
    // keeps it locked, so that removing it then fails.
    qint64 holder = 0;
    if (lock.error() != QLockFile::LockFailedError || heldHere().contains(serverName) ||
        lock.getLockInfo(&holder, nullptr, nullptr) || !lock.removeStaleLockFile() || !lock.tryLock(0))
        return false;
    takenOverNotice =
        QStringLiteral("ロックファイル（%1）が読めなかったため、引き継いで開きました。").arg(FileName);
    return true;
}

bool DataFolderLock::askOtherToComeToFront() const
{
    return FrontRequests::ask(serverName, WaitMs);
}

namespace {

// Asks whether the folder is to be opened though the lock says another program has it.
bool openAllTheSame(const DataFolderLock& lock, DataFolderLock::Claim claim, MessageBoxes& messages)
{
    const QString since = lock.heldSince().toString(QStringLiteral("yyyy/MM/dd H:mm"));
    const QString question =
        claim == DataFolderLock::Claim::OtherComputer
            ? QStringLiteral("別のパソコン（%1）で %2 から使われています。このパソコンで開きますか？\n\n"
                             "両方のパソコンで同時に開くと、入力した内容が失われます。"
                             "もう一方のパソコンでソラニカを終了してから「OK」を押してください。")
                  .arg(lock.holderHost(), since)
            : QStringLiteral(
                  "このパソコンで %1 から起動しているソラニカが応答しません。このまま開きますか？\n\n"
                  "2 つのソラニカで同時に開くと、入力した内容が失われます。"
                  "もう一方のソラニカが終了していることを確かめてから「OK」を押してください。")
                  .arg(since);
    return messages.ask(nullptr, question, QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel,
                        MessageBoxes::Icon::Warning,
                        MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
}

} // namespace

std::unique_ptr<DataFolderLock> claimDataFolder(const QString& folder, MessageBoxes& messages)
{
    auto lock = std::make_unique<DataFolderLock>(folder);
    const DataFolderLock::Claim claim = lock->claim(bringToFront);
    if (claim == DataFolderLock::Claim::OtherBroughtToFront)
        return nullptr;
    if (claim != DataFolderLock::Claim::Ours) {
        if (!openAllTheSame(*lock, claim, messages))
            return nullptr;
        if (!lock->takeOver(bringToFront)) {
            messages.ask(nullptr, QStringLiteral("ソラニカはすでに起動しています。"),
                         QStringLiteral("ソラニカ"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
            return nullptr;
        }
    }
    ScratchFolder::removeAbandoned();
    return lock;
}
